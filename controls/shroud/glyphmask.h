// The mosaic's 256 x 256 map of the lit pixels of the answer character, kept per answer
// so that changing the mosaic's cell count only re-averages it.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace shroud {

class GlyphMask {
public:
    static constexpr int kSide = 256;

    // Makes the mask for answer in face unless it was already made from the same answer.
    // Returns true when the mask was rendered anew.
    bool ensure(const QString& answer, const QString& face);

    // Drops the mask, so the next ensure() renders again (after a change of face).
    void forget() { key_.clear(); }

    // The answer the mask was made from; empty when there is none.
    const QString& key() const { return key_; }

    // 1 where the 256-pixel rendering of the answer is fully lit, else 0.
    uint8_t lit(int x, int y) const { return bits_[static_cast<size_t>(x) * kSide + y]; }

private:
    QString key_;
    std::array<uint8_t, kSide * kSide> bits_{};
};

} // namespace shroud
