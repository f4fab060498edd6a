#include "controls/shroud/gametable.h"

#include <algorithm>

namespace shroud {

int ClampGameMode(int mode) {
    return std::clamp(mode, 1, kGameCount);
}

GameInfo GameInfoFor(int mode) {
    switch (ClampGameMode(mode)) {
    case kMosaic:
        return {QStringLiteral(u"モザイク"), QStringLiteral(u"分割"), QStringLiteral(u"－－")};
    case kBlocks:
        return {QStringLiteral(u"ブロック"), QStringLiteral(u"枚数"), QStringLiteral(u"時間")};
    case kFlash:
        return {QStringLiteral(u"フラッシュ"), QStringLiteral(u"時間"), QStringLiteral(u"色差")};
    case kCross:
        return {QStringLiteral(u"クロス"), QStringLiteral(u"太さ"), QStringLiteral(u"時間")};
    default:
        return {QStringLiteral(u"バラバラ"), QStringLiteral(u"枚数"), QStringLiteral(u"分割")};
    }
}

} // namespace shroud
