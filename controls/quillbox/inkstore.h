// The ink of a handwriting box: every stored pen point in writing order, and the
// bookkeeping of the stroke being written.
#pragma once

#include "tessera/records.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace quillbox {

// The points of all strokes, exposed as one PATTERN_W record that stays valid (same
// address) for the life of the store, so it can be handed to the recognizer as it is.
// The point array starts with room for 600 points and grows by 200, keeping its
// contents, whenever a point is added to a full array.
class InkStore {
public:
    static constexpr int kInitialCapacity = 600;
    static constexpr int kGrowth = 200;

    InkStore();
    InkStore(const InkStore&) = delete;
    InkStore& operator=(const InkStore&) = delete;

    int count() const { return record_.num; }
    int capacity() const { return capacity_; }
    bool empty() const { return record_.num == 0; }
    const POINT_W* points() const { return record_.data; }
    const POINT_W& at(int i) const { return record_.data[i]; }
    PATTERN_W* pattern() { return &record_; }

    // Appends one point; coordinates outside the 16-bit range are saturated.
    void append(int x, int y, uint8_t attr);
    // Forgets every point from index n on (n within 0..count()).
    void truncate(int n);
    void clear() { record_.num = 0; }
    void setLastAttr(uint8_t attr) { record_.data[record_.num - 1].attr = attr; }

    // Ends a stroke that has no last point: a lone pen-down point is removed, any other
    // last point becomes the stroke's last point.
    void closeOpenStroke();

    // Replaces the ink by a copy of n points. When the array is too small it is replaced
    // by one with room for n + 200 points.
    void assign(const POINT_W* points, int n);

private:
    void reserve(int capacity);

    std::unique_ptr<POINT_W[]> buffer_;
    int capacity_ = 0;
    PATTERN_W record_{};
};

// One line segment to draw, in client coordinates.
struct Segment {
    int x1, y1, x2, y2;
};

// The stroke being written: which source owns it, the previous point, and how far it
// has travelled. Pen-down, pen-move and pen-up store their points in an InkStore and
// report the segment the caller has to draw.
class StrokeTracker {
public:
    enum Source { Idle = 0, Mouse = 1, Pen = 2 };

    Source source() const { return source_; }
    void setSource(Source s) { source_ = s; }
    bool inStroke() const { return source_ != Idle; }

    // Starts a stroke at (x, y): ends any stroke left open and stores the point as a
    // pen-down point. The point itself is not clamped.
    void begin(InkStore& ink, int x, int y);

    // Continues the stroke at (x, y), clamped to 0..width, 0..height. Nothing is stored
    // when the clamped point equals the previous one.
    std::optional<Segment> move(InkStore& ink, int x, int y, int width, int height);

    struct EndResult {
        std::optional<Segment> line; // final segment to draw, if any
        bool kept = false;           // false when the stroke was dropped
    };
    // Ends the stroke at (x, y) (clamped). The stroke is dropped when it did not travel
    // at all or its travel is shorter than minLength; the tracker is then reset to idle.
    EndResult end(InkStore& ink, int x, int y, int width, int height, double minLength);

    // Back to idle without touching the ink.
    void reset();

    int strokeStart() const { return strokeStart_; }
    int64_t horizontalTravel() const { return travelX_; }
    int64_t verticalTravel() const { return travelY_; }

private:
    Source source_ = Idle;
    int lastX_ = 0, lastY_ = 0;
    int64_t travelX_ = 0, travelY_ = 0;
    int strokeStart_ = 0;
};

} // namespace quillbox
