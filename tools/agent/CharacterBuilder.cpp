#include "CharacterBuilder.h"

#include "ArtKit.h"

#include <QCryptographicHash>

namespace {

constexpr double kFigureScale = 0.86;

double mix(double a, double b, double t) {
    return a + (b - a) * t;
}

Pose between(const Pose& from, const Pose& to, double t) {
    Pose p = to;
    for (double Pose::*field :
         {&Pose::bob, &Pose::lean, &Pose::armLeft, &Pose::armRight, &Pose::mouthOpen, &Pose::smile,
          &Pose::eyeOpen, &Pose::look, &Pose::headTilt, &Pose::scale})
        p.*field = mix(from.*field, to.*field, t);
    p.effectPhase =
        from.effect == to.effect ? mix(from.effectPhase, to.effectPhase, t) : to.effectPhase * t;
    // Eyes blink shut at once rather than half-closing over several frames.
    if (to.eyeOpen == 0 || (from.eyeOpen == 0 && t < 1))
        p.eyeOpen = t >= 0.5 ? to.eyeOpen : from.eyeOpen;
    return p;
}

} // namespace

CharacterBuilder::CharacterBuilder(const QString& name, const CharacterArt& art) : m_art(art) {
    m_file.name = name;
    m_file.frameSize = QSize(kFrameSide, kFrameSide);
}

void CharacterBuilder::add(const QString& animation, Motion motion) {
    const Motions::Script script = Motions::script(motion);
    platform::AgentFile::Animation out;
    out.name = animation;
    Pose previous;
    bool first = true;
    auto addKey = [&](const Motions::Key& key) {
        const int steps = (first && !script.startsFromRest) ? 1 : key.steps;
        for (int i = 1; i <= steps; ++i) {
            const Pose p = (steps == 1) ? key.pose : between(previous, key.pose, double(i) / steps);
            out.frames.push_back({frameFor(p), key.frameMs});
        }
        previous = key.pose;
        first = false;
    };
    for (const Motions::Key& key : script.keys)
        addKey(key);
    if (script.endsAtRest)
        addKey({Pose{}, 2, 90});
    m_file.animations.push_back(out);
}

int CharacterBuilder::frameFor(const Pose& pose) {
    const QImage image = render(pose);
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha1);
    if (const auto it = m_known.constFind(digest); it != m_known.constEnd())
        return *it;
    m_file.images.push_back(image);
    const int index = static_cast<int>(m_file.images.size()) - 1;
    m_known.insert(digest, index);
    return index;
}

QImage CharacterBuilder::render(const Pose& pose) const {
    QImage image(kFrameSide, kFrameSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF feet(kFrameSide / 2.0, kFrameSide - 4.0);
    // The figures are drawn for the whole frame; shrinking them a little leaves
    // room above the head for jumps and for the effects.
    p.translate(feet);
    p.scale(kFigureScale, kFigureScale);
    p.translate(-feet);
    p.save();
    p.translate(feet);
    p.scale(pose.scale, pose.scale);
    p.translate(0, pose.bob);
    p.rotate(pose.lean);
    p.translate(-feet);
    m_art.draw(p, pose);
    p.restore();
    if (pose.effect != Pose::Effect::None)
        ArtKit::effect(p, m_art.headCenter() + QPointF(0, pose.bob), pose);
    return image;
}
