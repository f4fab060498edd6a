#include "controls/quillbox/inkstore.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace quillbox {
namespace {

int16_t Saturate16(int v) {
    return static_cast<int16_t>(std::clamp<int>(v, std::numeric_limits<int16_t>::min(),
                                                std::numeric_limits<int16_t>::max()));
}

} // namespace

InkStore::InkStore() {
    reserve(kInitialCapacity);
}

void InkStore::reserve(int capacity) {
    auto bigger = std::make_unique<POINT_W[]>(static_cast<size_t>(capacity));
    if (record_.num > 0)
        std::memcpy(bigger.get(), buffer_.get(),
                    sizeof(POINT_W) * static_cast<size_t>(record_.num));
    buffer_ = std::move(bigger);
    capacity_ = capacity;
    record_.data = buffer_.get();
}

void InkStore::append(int x, int y, uint8_t attr) {
    if (record_.num >= capacity_) reserve(capacity_ + kGrowth);
    record_.data[record_.num++] = POINT_W{Saturate16(x), Saturate16(y), attr};
}

void InkStore::truncate(int n) {
    if (n >= 0 && n < record_.num) record_.num = n;
}

void InkStore::closeOpenStroke() {
    if (record_.num == 0) return;
    POINT_W& last = record_.data[record_.num - 1];
    if (last.attr & PT_PENUP) return;
    if (last.attr & PT_PENDOWN)
        --record_.num;
    else
        last.attr = PT_PENUP;
}

void InkStore::assign(const POINT_W* points, int n) {
    n = std::max(n, 0);
    record_.num = 0;
    if (n > capacity_) reserve(n + kGrowth);
    if (n > 0) std::memcpy(record_.data, points, sizeof(POINT_W) * static_cast<size_t>(n));
    record_.num = n;
}

void StrokeTracker::begin(InkStore& ink, int x, int y) {
    // The stroke start is taken after closing, so that a dropped stroke cannot leave
    // a point of its own behind.
    ink.closeOpenStroke();
    lastX_ = x;
    lastY_ = y;
    travelX_ = travelY_ = 0;
    strokeStart_ = ink.count();
    ink.append(x, y, PT_PENDOWN);
}

std::optional<Segment> StrokeTracker::move(InkStore& ink, int x, int y, int width, int height) {
    x = std::clamp(x, 0, std::max(width, 0));
    y = std::clamp(y, 0, std::max(height, 0));
    if (x == lastX_ && y == lastY_) return std::nullopt;
    Segment line{lastX_, lastY_, x, y};
    ink.append(x, y, 0);
    travelX_ += std::abs(x - lastX_);
    travelY_ += std::abs(y - lastY_);
    lastX_ = x;
    lastY_ = y;
    return line;
}

StrokeTracker::EndResult StrokeTracker::end(InkStore& ink, int x, int y, int width, int height,
                                            double minLength) {
    EndResult result;
    x = std::clamp(x, 0, std::max(width, 0));
    y = std::clamp(y, 0, std::max(height, 0));
    if (ink.count() > strokeStart_) {
        if (x == lastX_ && y == lastY_) {
            if (ink.at(ink.count() - 1).attr & PT_PENDOWN)
                ink.truncate(ink.count() - 1);
            else
                ink.setLastAttr(PT_PENUP);
        } else {
            result.line = Segment{lastX_, lastY_, x, y};
            ink.append(x, y, PT_PENUP);
        }
        // The final segment does not count towards the travel.
        const double s = static_cast<double>(travelX_) * static_cast<double>(travelX_) +
                         static_cast<double>(travelY_) * static_cast<double>(travelY_);
        if (s == 0 || std::sqrt(s) < minLength) ink.truncate(strokeStart_);
        result.kept = ink.count() != strokeStart_;
    }
    reset();
    return result;
}

void StrokeTracker::reset() {
    source_ = Idle;
    lastX_ = lastY_ = 0;
    travelX_ = travelY_ = 0;
    strokeStart_ = 0;
}

} // namespace quillbox
