#include "RealPlatform.h"
#include "TForm1.h"
#include "TMaiForm.h"
#include "flash/FlashPlayer.h"
#include "process/GuardedApplication.h"

int main(int argc, char** argv) {
    platform::GuardedApplication app(argc, argv);
    platform::RealPlatform real;
    app.setProgramEnd(real.services().programEnd);
    TForm1 form(real.services(), QCoreApplication::applicationDirPath(),
                [&form](const QString& movie) {
                    auto* intro = new TMaiForm(&form);
                    intro->ShockwaveFlash1->setMovie(movie);
                    intro->ShockwaveFlash1->play();
                    intro->exec();
                });
    if (form.endRequested())
        return 0;
    QObject::connect(&form, &TForm1::closed, &app, &QCoreApplication::quit);
    form.show();
    return app.exec();
}
