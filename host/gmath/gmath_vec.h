#pragma once
// Small fixed-size vectors of 2, 3 and 4 components (int, float, double, unsigned char):
// points, sizes and colours throughout the interface.
#include <cmath>
#include <cstddef>
#include <type_traits>

template <typename T, unsigned int N, typename Derived>
class GMathVecBase {
public:
    T data[N] = {};

    T& operator[](unsigned int i) { return data[i]; }
    T const& operator[](unsigned int i) const { return data[i]; }
    static constexpr unsigned int size() { return N; }

    bool operator==(GMathVecBase const& o) const
    {
        for (unsigned int i = 0; i < N; ++i)
            if (!(data[i] == o.data[i])) return false;
        return true;
    }
    bool operator!=(GMathVecBase const& o) const { return !(*this == o); }

    Derived operator+(Derived const& o) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] + o.data[i]);
        return r;
    }
    Derived operator-(Derived const& o) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] - o.data[i]);
        return r;
    }
    Derived operator*(Derived const& o) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] * o.data[i]);
        return r;
    }
    Derived operator/(Derived const& o) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] / o.data[i]);
        return r;
    }
    Derived operator*(T const& s) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] * s);
        return r;
    }
    Derived operator/(T const& s) const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(r.data[i] / s);
        return r;
    }
    Derived operator-() const
    {
        Derived r = self();
        for (unsigned i = 0; i < N; ++i) r.data[i] = T(-r.data[i]);
        return r;
    }
    Derived& operator+=(Derived const& o) { return static_cast<Derived&>(*this) = *this + o; }
    Derived& operator-=(Derived const& o) { return static_cast<Derived&>(*this) = *this - o; }
    Derived& operator*=(T const& s) { return static_cast<Derived&>(*this) = *this * s; }
    Derived& operator/=(T const& s) { return static_cast<Derived&>(*this) = *this / s; }

    T dot(Derived const& o) const
    {
        T r = T();
        for (unsigned i = 0; i < N; ++i) r = T(r + data[i] * o.data[i]);
        return r;
    }
    // Euclidean length, in double for integer element types.
    auto length() const
    {
        using R = std::conditional_t<std::is_floating_point_v<T>, T, double>;
        R sum = 0;
        for (unsigned i = 0; i < N; ++i) sum += R(data[i]) * R(data[i]);
        return std::sqrt(sum);
    }
    // Unit vector in the same direction; a zero vector stays zero.
    Derived get_normalized() const
    {
        static_assert(std::is_floating_point_v<T>, "normalize needs a floating-point vector");
        T l = length();
        return l > T(0) ? *this / l : self();
    }
    void normalize() { static_cast<Derived&>(*this) = get_normalized(); }

private:
    Derived const& self() const { return static_cast<Derived const&>(*this); }
};

template <typename T>
class GMathVec2 : public GMathVecBase<T, 2, GMathVec2<T>> {
public:
    GMathVec2() = default;
    GMathVec2(T x, T y) { set(x, y); }
    template <typename U>
    explicit GMathVec2(GMathVec2<U> const& o) { set(T(o[0]), T(o[1])); }
    void set(T x, T y) { this->data[0] = x; this->data[1] = y; }
};

template <typename T>
class GMathVec3 : public GMathVecBase<T, 3, GMathVec3<T>> {
public:
    GMathVec3() = default;
    GMathVec3(T x, T y, T z) { set(x, y, z); }
    template <typename U>
    explicit GMathVec3(GMathVec3<U> const& o) { set(T(o[0]), T(o[1]), T(o[2])); }
    void set(T x, T y, T z) { this->data[0] = x; this->data[1] = y; this->data[2] = z; }
    GMathVec3 cross(GMathVec3 const& o) const
    {
        auto const& a = this->data;
        return GMathVec3(a[1] * o[2] - a[2] * o[1], a[2] * o[0] - a[0] * o[2], a[0] * o[1] - a[1] * o[0]);
    }
};

template <typename T>
class GMathVec4 : public GMathVecBase<T, 4, GMathVec4<T>> {
public:
    GMathVec4() = default;
    GMathVec4(T x, T y, T z, T w) { set(x, y, z, w); }
    template <typename U>
    explicit GMathVec4(GMathVec4<U> const& o) { set(T(o[0]), T(o[1]), T(o[2]), T(o[3])); }
    void set(T x, T y, T z, T w)
    {
        this->data[0] = x;
        this->data[1] = y;
        this->data[2] = z;
        this->data[3] = w;
    }
};
