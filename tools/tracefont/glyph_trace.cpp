#include "tools/tracefont/glyph_trace.h"

#include <algorithm>

#include "tools/mkdict/ink.h"
#include "tools/tracefont/thinning.h"

namespace tracefont {

TraceResult TraceGlyph(const Bitmap& glyph, const std::vector<Polyline>& drawing,
                       const TraceParams& params) {
    Bitmap skeleton = Thin(glyph);
    PixelBox box = InkBox(skeleton);
    if (box.Empty()) return {};
    const auto guides = FitGuides(drawing, box);
    TraceResult r;
    for (double widen : {1.0, 1.5, 2.0}) {
        TraceParams p = params;
        p.radius = params.radius * widen;
        r = TraceStrokes(skeleton, guides, p);
        r.widened = widen > 1;
        if (r.status != TraceStatus::Untraceable) break;
    }
    return r;
}

Polyline Smooth(const Polyline& path, int half) {
    if (half <= 0 || path.size() < 3) return path;
    const int n = static_cast<int>(path.size());
    Polyline out(path.size());
    for (int i = 0; i < n; ++i) {
        int k = std::min({half, i, n - 1 - i}); // symmetric window, so the ends stay put
        double sx = 0, sy = 0;
        for (int j = i - k; j <= i + k; ++j) sx += path[j].x, sy += path[j].y;
        out[i] = {sx / (2 * k + 1), sy / (2 * k + 1)};
    }
    return out;
}

std::vector<POINT_W> PenInput(const TraceResult& trace, double step) {
    if (trace.status == TraceStatus::Untraceable) return {};
    mkdict::Ink ink;
    for (const auto& s : trace.strokes) ink.push_back(mkdict::Resample(Smooth(s, 2), step));
    return mkdict::ToPoints(ink, 1.0);
}

void TraceTally::Add(const TraceResult& r) {
    if (r.status == TraceStatus::Untraceable) {
        ++untraceable;
        return;
    }
    ++traced;
    snapped += r.status == TraceStatus::Snapped;
    widened += r.widened;
}

std::string TraceTally::Summary() const {
    return std::to_string(traced) + " traced (" + std::to_string(snapped) +
           " with a stroke snapped point by point, " + std::to_string(widened) +
           " with a wider radius), " + std::to_string(untraceable) + " untraceable, " +
           std::to_string(missing_font) + " missing from the font, " +
           std::to_string(missing_drawing) + " without a KanjiVG drawing in the dictionaries";
}

} // namespace tracefont
