#pragma once
// The keys of a function curve: their identifiers, their interpolation types and the
// record a curve keeps for each one.
#include "host/core/core_export.h"

// Names one key of one curve. A curve gives its keys the ids 1, 2, 3, ... in the order
// they are added and never gives an id twice, so an id stays with its key while keys move
// and re-sort, and curves built by the same sequence of additions share their ids. The
// default id (0) names no key.
class QN_HOST_API FCurveKeyId {
public:
    FCurveKeyId() = default;
    explicit FCurveKeyId(unsigned int const& value) : m_value(value) {}

    unsigned int get_value() const { return m_value; }
    bool is_valid() const { return m_value != 0; }

    bool operator==(FCurveKeyId const& other) const = default;
    bool operator<(FCurveKeyId const& other) const { return m_value < other.m_value; }

private:
    unsigned int m_value = 0;
};

// One key: a value at a time, how the curve runs from it to the next key, and its tangents.
//
// Tangents are slopes (value units per time unit) on each side of the key. Seen as a Bezier
// segment, a cubic segment from key A to key B has its handles a third of the way along the
// segment in time, at A.value + A.out_slope * (B.time - A.time) / 3 and
// B.value - B.in_slope * (B.time - A.time) / 3. Bezier keys keep the slopes they are given;
// the curve works out the slopes of the other types from their neighbours whenever a key
// changes, so a key turned into a Bezier key keeps its shape until its slopes are edited.
struct QN_HOST_API FCurveKey {
    // How the curve runs from a key to the next one.
    enum Type : int {
        TYPE_CONSTANT,        // holds the key's value up to the next key (a step); slopes 0
        TYPE_LINEAR,          // a straight line to the next key; slopes are the chords to
                              // the neighbours
        TYPE_SMOOTH,          // a cubic whose slope at the key is the chord between its
                              // neighbours (the chord to its only neighbour at an end)
        TYPE_SMOOTH_CLAMPED,  // as smooth, but flat at a local peak or dip and limited so
                              // that between two such keys the curve never overshoots them
        TYPE_BEZIER,          // a cubic with the key's own in and out slopes
        TYPE_COUNT
    };

    // The name of a type in menus: "Constant", "Linear", "Smooth", "Smooth (No Overshoot)",
    // "Bezier"; "" for other values.
    static char const* get_key_type_ui_name(Type const& type);
    static bool is_valid_type(Type const& type) { return type >= TYPE_CONSTANT && type < TYPE_COUNT; }

    FCurveKeyId id;
    double time = 0.0;
    double value = 0.0;
    Type type = TYPE_SMOOTH;
    double in_slope = 0.0;   // the slope arriving at the key
    double out_slope = 0.0;  // the slope leaving it

    bool operator==(FCurveKey const& other) const = default;
};
