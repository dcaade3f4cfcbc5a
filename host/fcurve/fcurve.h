#pragma once
// A function curve: values of one input (a time, or any parameter) given by keys, with the
// curve's behaviour before its first key and after its last.
#include <atomic>
#include <vector>

#include "host/core/core_export.h"
#include "host/core/core_vector.h"
#include "host/fcurve/fcurve_key.h"

// A curve of keys sorted by time, evaluated anywhere:
//
//     FCurve curve;
//     FCurveKeyId start = curve.add_key(0.0, 0.0, FCurveKey::TYPE_LINEAR);
//     curve.add_key(10.0, 5.0, FCurveKey::TYPE_SMOOTH);
//     curve.set_post_behavior(FCurve::BEHAVIOR_CYCLE);
//     double value = curve.eval(12.5);       // 1.25: the cycle repeats [0, 10)
//     curve.set_key_time(start, 20.0);       // keys re-sort; `start` names the same key
//
// Each key's type sets how the curve runs from it to the next key (see FCurveKey). Keys may
// share a time: a key added or moved to the time of other keys goes after them, and from
// that time on the curve takes the last one's value (a step). A curve without keys is 0
// everywhere.
//
// Times, values and slopes must be finite numbers; edits with others, with an unknown key
// id or an unknown type or behaviour are refused with one warning and change nothing.
// Getters asked about an unknown id warn and answer 0.
//
// Evaluation finds the segment by binary search over the key times, but first tries the
// segment of the previous evaluation and the one after it, so evaluating at increasing
// times (playback, drawing) costs a few comparisons per call. Any number of threads may
// evaluate one curve at once; edits need exclusive access.
class QN_HOST_API FCurve {
public:
    // What the curve does before its first key (pre) and after its last (post).
    enum Behavior : int {
        BEHAVIOR_CONSTANT,      // keeps the end key's value
        BEHAVIOR_LINEAR,        // continues with the slope the curve has at the end key
        BEHAVIOR_CYCLE,         // repeats the keys' span
        BEHAVIOR_CYCLE_OFFSET,  // repeats it, each repetition shifted by the value change
                                // from the first key to the last, so the curve climbs on
        BEHAVIOR_OSCILLATE,     // repeats it forwards and backwards in turn
        BEHAVIOR_COUNT
    };
    // The name of a behaviour in menus: "Constant", "Linear", "Cycle", "Cycle with Offset",
    // "Oscillate"; "" for other values.
    static char const* get_behavior_label(Behavior const& behavior);

    FCurve() = default;

    // Keys and behaviours: key ids and the ids still to be given are copied too.
    FCurve(FCurve const& other) = default;
    FCurve& operator=(FCurve const& other) = default;
    FCurve(FCurve&& other) = default;
    FCurve& operator=(FCurve&& other) = default;
    // Equal keys (ids, times, values, types, slopes) and behaviours.
    bool operator==(FCurve const& other) const;

    // Adds a key and returns its id; an invalid id when refused. A Bezier key starts with the
    // slopes a smooth key would have there.
    FCurveKeyId add_key(double const& time, double const& value,
                        FCurveKey::Type const& type = FCurveKey::TYPE_SMOOTH);
    bool remove_key(FCurveKeyId const& id);
    void remove_all_keys();

    unsigned int get_key_count() const { return static_cast<unsigned int>(m_keys.size()); }
    // The index of a key in time order, or -1 when the curve has no such key (not logged).
    int get_key_index(FCurveKeyId const& id) const;
    // The id of the key at an index; an invalid id, with a warning, out of range.
    FCurveKeyId get_key_id(unsigned int const& index) const;
    // All keys in time order, valid until the next edit.
    CoreBasicArray<FCurveKey> get_keys() const { return CoreBasicArray<FCurveKey>(m_keys.data(), get_key_count()); }
    // The id of the first key whose time is above `time`; an invalid id when there is none.
    FCurveKeyId get_first_key_after(double const& time) const;

    double get_key_time(FCurveKeyId const& id) const;
    double get_key_value(FCurveKeyId const& id) const;
    FCurveKey::Type get_key_type(FCurveKeyId const& id) const;
    // The slopes the curve has on each side of a key, whatever its type.
    bool get_key_tangents(FCurveKeyId const& id, double& in_slope, double& out_slope) const;

    // Moves a key; the keys re-sort and every id keeps naming its key.
    bool set_key_time(FCurveKeyId const& id, double const& time);
    bool set_key_value(FCurveKeyId const& id, double const& value);
    bool set_key_type(FCurveKeyId const& id, FCurveKey::Type const& type);
    // Gives a key its own slopes, which makes it a Bezier key.
    bool set_key_tangents(FCurveKeyId const& id, double const& in_slope, double const& out_slope);

    Behavior get_pre_behavior() const { return m_pre; }
    Behavior get_post_behavior() const { return m_post; }
    bool set_pre_behavior(Behavior const& behavior);
    bool set_post_behavior(Behavior const& behavior);

    // The value at `time`. A time that is not a number gives NaN; an infinite one gives the
    // limit of the behaviour on that side, or the end key's value when a repetition has none.
    double eval(double const& time) const;

    // The lowest and highest values the curve takes over [start, end] (for fitting a view).
    // False, with nothing set, when the curve has no keys; a range that is not finite or
    // with start above end is refused with a warning.
    bool get_value_range(double const& start, double const& end, double& min, double& max) const;

private:
    // The cubic a segment follows from its key to the next one, in the segment's own
    // parameter s = (t - key time) / segment length, so that evaluation is one multiply
    // and a Horner step. Segments of length 0 are never evaluated.
    struct Segment {
        double c0 = 0.0, c1 = 0.0, c2 = 0.0, c3 = 0.0;
        double inverse_length = 0.0;
        double at(double const& s) const { return c0 + s * (c1 + s * (c2 + s * c3)); }
    };

    // The segment evaluation tried first: relaxed atomic so that concurrent evaluations
    // are defined; copies start from the first segment.
    struct Hint {
        mutable std::atomic<unsigned int> index{0};
        Hint() = default;
        Hint(Hint const&) {}
        Hint& operator=(Hint const&) { return *this; }
    };

    int find_index(FCurveKeyId const& id, char const* caller) const;
    static bool is_valid_behavior(Behavior const& behavior);
    // The key index after which keys at `time` go.
    unsigned int get_insert_index(double const& time) const;
    void insert_at(unsigned int const& index, FCurveKey const& key);
    void erase_at(unsigned int const& index);
    void reindex(unsigned int const& first, unsigned int const& last);
    // Works the derived slopes and segments out again around keys first..last after a change.
    void refresh(int const& first, int const& last);
    void compute_slopes(unsigned int const& index);
    void compute_segment(unsigned int const& index);

    // The segment holding `time`, which lies in [first key time, last key time).
    unsigned int find_segment(double const& time) const;
    // The value at a time within [first key time, last key time].
    double eval_inside(double const& time) const;
    double eval_outside(double const& time, Behavior const& behavior, bool const& before) const;
    // The slope of the curve at its first or last key, for the linear behaviour.
    double get_end_slope(bool const& start) const;

    void extend_range_inside(double start, double end, double& min, double& max) const;
    void extend_range_outside(double const& start, double const& end, Behavior const& behavior,
                              bool const& before, double& min, double& max) const;

    std::vector<FCurveKey> m_keys;
    std::vector<double> m_times;       // m_keys' times, packed for the search
    std::vector<Segment> m_segments;   // one per key; the last one unused
    std::vector<int> m_index_by_id;    // key index by id value, -1 for removed ids
    unsigned int m_next_id = 1;
    Behavior m_pre = BEHAVIOR_CONSTANT;
    Behavior m_post = BEHAVIOR_CONSTANT;
    Hint m_hint;
};
