#include "display/RandrDisplay.h"
#include "screen/ScreenMetrics.h"

// Qt before X: X's headers define macros (None, Bool, Status) that clash with Qt's.
#include <QCoreApplication>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <vector>

#include "display/XErrorTrap.h"
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

namespace platform {

namespace {

struct ResourcesFree {
    void operator()(XRRScreenResources* r) const { XRRFreeScreenResources(r); }
};
struct OutputInfoFree {
    void operator()(XRROutputInfo* o) const { XRRFreeOutputInfo(o); }
};
struct CrtcInfoFree {
    void operator()(XRRCrtcInfo* c) const { XRRFreeCrtcInfo(c); }
};
using Resources = std::unique_ptr<XRRScreenResources, ResourcesFree>;
using OutputInfo = std::unique_ptr<XRROutputInfo, OutputInfoFree>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, CrtcInfoFree>;

constexpr std::uint32_t kAllFields =
    DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;

// The output the service acts on, with the CRTC that drives it.
struct Target {
    OutputInfo output;
    CrtcInfo crtc;
};

std::optional<Target> findTarget(Display* display, Window root, XRRScreenResources* res) {
    std::vector<RROutput> order;
    if (const RROutput primary = XRRGetOutputPrimary(display, root))
        order.push_back(primary);
    order.insert(order.end(), res->outputs, res->outputs + res->noutput);
    for (const RROutput id : order) {
        OutputInfo output(XRRGetOutputInfo(display, res, id));
        if (!output || output->connection != RR_Connected || output->crtc == 0)
            continue;
        CrtcInfo crtc(XRRGetCrtcInfo(display, res, output->crtc));
        if (crtc && crtc->mode != 0)
            return Target{std::move(output), std::move(crtc)};
    }
    return std::nullopt;
}

const XRRModeInfo* findMode(const XRRScreenResources* res, RRMode id) {
    const XRRModeInfo* begin = res->modes;
    const XRRModeInfo* end = begin + res->nmode;
    const auto* it = std::find_if(begin, end, [id](const XRRModeInfo& m) { return m.id == id; });
    return it == end ? nullptr : it;
}

double refreshRate(const XRRModeInfo& mode) {
    double lines = mode.vTotal;
    if (mode.modeFlags & RR_DoubleScan)
        lines *= 2;
    if (mode.modeFlags & RR_Interlace)
        lines /= 2;
    return mode.hTotal && lines > 0 ? static_cast<double>(mode.dotClock) / (mode.hTotal * lines)
                                    : 0.0;
}

std::uint32_t refreshHz(const XRRModeInfo& mode) {
    return static_cast<std::uint32_t>(std::lround(refreshRate(mode)));
}

// What a change asks for: every field left out of the mask keeps the value
// in force; a frequency of 0 or 1 means the hardware's default, so any.
struct Wanted {
    unsigned width;
    unsigned height;
    std::uint32_t hz;

    Wanted(const DisplayMode& mode, const XRRModeInfo& current)
        : width(mode.fields & DM_PELSWIDTH ? mode.pelsWidth : current.width),
          height(mode.fields & DM_PELSHEIGHT ? mode.pelsHeight : current.height),
          hz(mode.fields & DM_DISPLAYFREQUENCY && mode.displayFrequency > 1 ? mode.displayFrequency
                                                                            : 0) {}

    bool matches(const XRRModeInfo& m) const {
        return m.width == width && m.height == height && (hz == 0 || refreshHz(m) == hz);
    }
};

const XRRModeInfo* bestMode(const XRRScreenResources* res, const XRROutputInfo& output,
                            const Wanted& wanted) {
    const XRRModeInfo* best = nullptr;
    for (int i = 0; i < output.nmode; ++i) {
        const XRRModeInfo* m = findMode(res, output.modes[i]);
        if (m && wanted.matches(*m) && (!best || refreshRate(*m) > refreshRate(*best)))
            best = m;
    }
    return best;
}

// The screen must hold every CRTC: the bounding box of all of them, with the
// changed one at its place in its new size.
void screenExtent(Display* display, XRRScreenResources* res, RRCrtc changed, int changedRight,
                  int changedBottom, int& width, int& height) {
    width = changedRight;
    height = changedBottom;
    for (int i = 0; i < res->ncrtc; ++i) {
        if (res->crtcs[i] == changed)
            continue;
        CrtcInfo crtc(XRRGetCrtcInfo(display, res, res->crtcs[i]));
        if (crtc && crtc->mode != 0) {
            width = std::max(width, crtc->x + static_cast<int>(crtc->width));
            height = std::max(height, crtc->y + static_cast<int>(crtc->height));
        }
    }
}

void rootSize(Display* display, Window root, int& width, int& height) {
    Window ignoredRoot = 0;
    int x = 0;
    int y = 0;
    unsigned w = 0;
    unsigned h = 0;
    unsigned border = 0;
    unsigned depth = 0;
    XGetGeometry(display, root, &ignoredRoot, &x, &y, &w, &h, &border, &depth);
    width = static_cast<int>(w);
    height = static_cast<int>(h);
}

// Gives the target's CRTC another mode and fits the screen around it,
// keeping the screen's dpi; false when the server refuses.
bool setOutputMode(Display* display, Window root, XRRScreenResources* res, const Target& target,
                   const XRRModeInfo& next, double mmPerPixelX, double mmPerPixelY) {
    const XRRCrtcInfo& crtc = *target.crtc;
    const bool sideways = crtc.rotation & (RR_Rotate_90 | RR_Rotate_270);
    const int right = crtc.x + static_cast<int>(sideways ? next.height : next.width);
    const int bottom = crtc.y + static_cast<int>(sideways ? next.width : next.height);
    int width = 0;
    int height = 0;
    screenExtent(display, res, target.output->crtc, right, bottom, width, height);
    int oldWidth = 0;
    int oldHeight = 0;
    rootSize(display, root, oldWidth, oldHeight);

    // The CRTC must fit the screen at every step: grow the screen first,
    // change the mode, then shrink it to the new extent (or back, on failure).
    XErrorTrap trap(display);
    XGrabServer(display);
    const auto resize = [=](int w, int h) {
        XRRSetScreenSize(display, root, w, h, static_cast<int>(std::lround(w * mmPerPixelX)),
                         static_cast<int>(std::lround(h * mmPerPixelY)));
    };
    const int grownWidth = std::max(width, oldWidth);
    const int grownHeight = std::max(height, oldHeight);
    if (grownWidth != oldWidth || grownHeight != oldHeight)
        resize(grownWidth, grownHeight);
    const bool switched =
        XRRSetCrtcConfig(display, res, target.output->crtc, CurrentTime, crtc.x, crtc.y, next.id,
                         crtc.rotation, crtc.outputs, crtc.noutput) == RRSetConfigSuccess &&
        !trap.failed();
    const int finalWidth = switched ? width : oldWidth;
    const int finalHeight = switched ? height : oldHeight;
    if (finalWidth != grownWidth || finalHeight != grownHeight)
        resize(finalWidth, finalHeight);
    XUngrabServer(display);
    return switched && !trap.failed();
}

} // namespace

RandrDisplay::RandrDisplay() {
    m_display = XOpenDisplay(nullptr);
    if (!m_display)
        return;
    const int screen = DefaultScreen(m_display);
    m_root = RootWindow(m_display, screen);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    m_hasRandr = XRRQueryExtension(m_display, &eventBase, &errorBase) &&
                 XRRQueryVersion(m_display, &major, &minor) &&
                 (major > 1 || (major == 1 && minor >= 2));
    if (DisplayWidthMM(m_display, screen) > 0 && DisplayHeightMM(m_display, screen) > 0) {
        m_mmPerPixelX = static_cast<double>(DisplayWidthMM(m_display, screen)) /
                        DisplayWidth(m_display, screen);
        m_mmPerPixelY = static_cast<double>(DisplayHeightMM(m_display, screen)) /
                        DisplayHeight(m_display, screen);
    }
}

RandrDisplay::~RandrDisplay() {
    if (m_display)
        XCloseDisplay(m_display);
}

bool RandrDisplay::enumDisplaySettings(int modeNum, DisplayMode& mode) {
    if (!m_hasRandr || modeNum < ENUM_CURRENT_SETTINGS)
        return false;
    Resources res(XRRGetScreenResourcesCurrent(m_display, m_root));
    const auto target = res ? findTarget(m_display, m_root, res.get()) : std::nullopt;
    if (!target || modeNum >= target->output->nmode)
        return false;
    const RRMode id =
        modeNum == ENUM_CURRENT_SETTINGS ? target->crtc->mode : target->output->modes[modeNum];
    const XRRModeInfo* info = findMode(res.get(), id);
    if (!info)
        return false;
    mode.fields = kAllFields;
    mode.bitsPerPel = static_cast<std::uint32_t>(bitsPerPixel());
    mode.pelsWidth = info->width;
    mode.pelsHeight = info->height;
    mode.displayFrequency = refreshHz(*info);
    return true;
}

DispChange RandrDisplay::changeDisplaySettings(const DisplayMode& mode, std::uint32_t) {
    if (!m_hasRandr)
        return DispChange::Failed;
    Resources res(XRRGetScreenResourcesCurrent(m_display, m_root));
    const auto target = res ? findTarget(m_display, m_root, res.get()) : std::nullopt;
    const XRRModeInfo* current = target ? findMode(res.get(), target->crtc->mode) : nullptr;
    if (!current)
        return DispChange::Failed;
    // The depth is the X server's, fixed while it runs.
    if (mode.fields & DM_BITSPERPEL &&
        mode.bitsPerPel != static_cast<std::uint32_t>(bitsPerPixel()))
        return DispChange::BadMode;
    const Wanted wanted(mode, *current);
    if (wanted.matches(*current))
        return DispChange::Successful;
    const XRRModeInfo* next = bestMode(res.get(), *target->output, wanted);
    if (!next)
        return DispChange::BadMode;

    return setOutputMode(m_display, m_root, res.get(), *target, *next, m_mmPerPixelX, m_mmPerPixelY)
               ? DispChange::Successful
               : DispChange::Failed;
}

int RandrDisplay::deviceCaps(int index) {
    int width = 0;
    int height = 0;
    currentSize(width, height);
    if (index == HORZRES)
        return width;
    if (index == VERTRES)
        return height;
    return 0;
}

void RandrDisplay::currentSize(int& width, int& height) const {
    width = 0;
    height = 0;
    if (m_display) {
        Resources res(m_hasRandr ? XRRGetScreenResourcesCurrent(m_display, m_root) : nullptr);
        const auto target = res ? findTarget(m_display, m_root, res.get()) : std::nullopt;
        if (target) {
            width = static_cast<int>(target->crtc->width);
            height = static_cast<int>(target->crtc->height);
        } else {
            rootSize(m_display, m_root, width, height);
        }
        return;
    }
    const bool hasGui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (const QScreen* screen = hasGui ? QGuiApplication::primaryScreen() : nullptr) {
        const QSize size = screen->geometry().size() * screen->devicePixelRatio();
        width = size.width();
        height = size.height();
    }
}

// The controls measure the screen with the same service, so the start-up's
// scale and their twips always agree.
double RandrDisplay::twipsPerPixelX() {
    return ScreenMetrics().twipsPerPixelX();
}

bool RandrDisplay::requestReboot() {
    return QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("reboot")});
}

int RandrDisplay::bitsPerPixel() const {
    const int depth = DefaultDepth(m_display, DefaultScreen(m_display));
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(m_display, &count);
    int bits = depth;
    for (int i = 0; i < count; ++i) {
        if (formats[i].depth == depth)
            bits = formats[i].bits_per_pixel;
    }
    if (formats)
        XFree(formats);
    return bits;
}

} // namespace platform
