#pragma once
// The blend modes, each a small function of one colour channel: d below, s the layer, both
// 0..255, in integer arithmetic. Each is written once for any channel type V: an int for one
// channel, or Lanes16 for eight channels at once. Alpha and the layer's transparency do not
// enter here; the compositor's loop handles them the same way for every mode.
#include "document/Layer.h"

namespace quillet::compositing {

// The operations the modes need on an int; Lanes16 offers the same ones.
constexpr int Min(int a, int b) { return a < b ? a : b; }
constexpr int Max(int a, int b) { return a > b ? a : b; }
constexpr int Abs(int a) { return a < 0 ? -a : a; }
constexpr int Select(bool condition, int a, int b) { return condition ? a : b; }

template <class V>
constexpr V Multiply(V d, V s) {
    return (d * s) >> 8;
}
template <class V>
constexpr V Screen(V d, V s) {
    return V(255) - (((V(255) - d) * (V(255) - s)) >> 8);
}
template <class V>
constexpr V Darken(V d, V s) {
    return Min(d, s);
}
template <class V>
constexpr V Lighten(V d, V s) {
    return Max(d, s);
}
template <class V>
constexpr V Difference(V d, V s) {
    return Abs(d - s);
}
template <class V>
constexpr V Negation(V d, V s) {
    return V(255) - Abs(V(255) - d - s);
}
// Wraps around: the sum may leave the byte range either way, and only its low byte counts.
template <class V>
constexpr V Exclusion(V d, V s) {
    return (d + s - ((d * s) >> 7)) & V(255);
}
template <class V>
constexpr V Overlay(V d, V s) {
    return Select(s < V(128), (d * s) >> 7, V(255) - (((V(255) - d) * (V(255) - s)) >> 7));
}

// The function of mode M. Normal has none: it mixes by coverage instead.
template <BlendMode M, class V>
constexpr V BlendChannel(V d, V s) {
    if constexpr (M == BlendMode::Multiply) {
        return Multiply(d, s);
    } else if constexpr (M == BlendMode::Screen) {
        return Screen(d, s);
    } else if constexpr (M == BlendMode::Darken) {
        return Darken(d, s);
    } else if constexpr (M == BlendMode::Lighten) {
        return Lighten(d, s);
    } else if constexpr (M == BlendMode::Difference) {
        return Difference(d, s);
    } else if constexpr (M == BlendMode::Negation) {
        return Negation(d, s);
    } else if constexpr (M == BlendMode::Exclusion) {
        return Exclusion(d, s);
    } else {
        static_assert(M == BlendMode::Overlay, "the normal rule is not a channel function");
        return Overlay(d, s);
    }
}

}  // namespace quillet::compositing
