#pragma once

namespace m {

template <class T> struct Vector2Template {
    T x;
    T y;
};

} // namespace m
