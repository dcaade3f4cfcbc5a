#include "host/fcurve/fcurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "host/core/core_log.h"

namespace {

bool is_finite(double const& value) { return std::isfinite(value); }

bool is_cyclic(FCurve::Behavior const& behavior)
{
    return behavior == FCurve::BEHAVIOR_CYCLE || behavior == FCurve::BEHAVIOR_CYCLE_OFFSET ||
           behavior == FCurve::BEHAVIOR_OSCILLATE;
}

void include(double const& value, double& min, double& max)
{
    min = std::min(min, value);
    max = std::max(max, value);
}

}  // namespace

char const* FCurve::get_behavior_label(Behavior const& behavior)
{
    switch (behavior) {
    case BEHAVIOR_CONSTANT: return "Constant";
    case BEHAVIOR_LINEAR: return "Linear";
    case BEHAVIOR_CYCLE: return "Cycle";
    case BEHAVIOR_CYCLE_OFFSET: return "Cycle with Offset";
    case BEHAVIOR_OSCILLATE: return "Oscillate";
    default: return "";
    }
}

bool FCurve::is_valid_behavior(Behavior const& behavior)
{
    return behavior >= BEHAVIOR_CONSTANT && behavior < BEHAVIOR_COUNT;
}

bool FCurve::operator==(FCurve const& other) const
{
    return m_keys == other.m_keys && m_pre == other.m_pre && m_post == other.m_post;
}

// --- Editing ------------------------------------------------------------------------------

FCurveKeyId FCurve::add_key(double const& time, double const& value, FCurveKey::Type const& type)
{
    if (!is_finite(time) || !is_finite(value)) {
        CORE_LOG_WARNING("FCurve.add_key: the time and value must be finite numbers, not " << time << " and "
                                                                                           << value << "\n");
        return FCurveKeyId();
    }
    if (!FCurveKey::is_valid_type(type)) {
        CORE_LOG_WARNING("FCurve.add_key: unknown key type " << static_cast<int>(type) << "\n");
        return FCurveKeyId();
    }
    FCurveKey key;
    key.id = FCurveKeyId(m_next_id++);
    key.time = time;
    key.value = value;
    // A new Bezier key starts from the slopes a smooth key would have, then keeps them.
    key.type = type == FCurveKey::TYPE_BEZIER ? FCurveKey::TYPE_SMOOTH : type;
    unsigned int const index = get_insert_index(time);
    insert_at(index, key);
    m_index_by_id.resize(key.id.get_value() + 1, -1);
    reindex(index, get_key_count() - 1);
    refresh(static_cast<int>(index), static_cast<int>(index));
    if (type == FCurveKey::TYPE_BEZIER) {
        m_keys[index].type = type;
        refresh(static_cast<int>(index), static_cast<int>(index));
    }
    return key.id;
}

bool FCurve::remove_key(FCurveKeyId const& id)
{
    int const index = find_index(id, "remove_key");
    if (index < 0) return false;
    erase_at(static_cast<unsigned int>(index));
    m_index_by_id[id.get_value()] = -1;
    if (static_cast<unsigned int>(index) < get_key_count()) reindex(index, get_key_count() - 1);
    // The keys on each side of the removed one are now neighbours.
    refresh(index - 1, index);
    return true;
}

void FCurve::remove_all_keys()
{
    for (FCurveKey const& key : m_keys) m_index_by_id[key.id.get_value()] = -1;
    m_keys.clear();
    m_times.clear();
    m_segments.clear();
}

bool FCurve::set_key_time(FCurveKeyId const& id, double const& time)
{
    int const from = find_index(id, "set_key_time");
    if (from < 0) return false;
    if (!is_finite(time)) {
        CORE_LOG_WARNING("FCurve.set_key_time: the time must be a finite number, not " << time << "\n");
        return false;
    }
    FCurveKey key = m_keys[from];
    key.time = time;
    erase_at(static_cast<unsigned int>(from));
    int const to = static_cast<int>(get_insert_index(time));
    insert_at(static_cast<unsigned int>(to), key);
    reindex(std::min(from, to), std::max(from, to));
    // Covers the key's old neighbours and its new ones.
    refresh(std::min(from, to) - 1, std::max(from, to) + 1);
    return true;
}

bool FCurve::set_key_value(FCurveKeyId const& id, double const& value)
{
    int const index = find_index(id, "set_key_value");
    if (index < 0) return false;
    if (!is_finite(value)) {
        CORE_LOG_WARNING("FCurve.set_key_value: the value must be a finite number, not " << value << "\n");
        return false;
    }
    m_keys[index].value = value;
    refresh(index, index);
    return true;
}

bool FCurve::set_key_type(FCurveKeyId const& id, FCurveKey::Type const& type)
{
    int const index = find_index(id, "set_key_type");
    if (index < 0) return false;
    if (!FCurveKey::is_valid_type(type)) {
        CORE_LOG_WARNING("FCurve.set_key_type: unknown key type " << static_cast<int>(type) << "\n");
        return false;
    }
    // A key becoming a Bezier key keeps the slopes it has, so its shape does not change.
    m_keys[index].type = type;
    refresh(index, index);
    return true;
}

bool FCurve::set_key_tangents(FCurveKeyId const& id, double const& in_slope, double const& out_slope)
{
    int const index = find_index(id, "set_key_tangents");
    if (index < 0) return false;
    if (!is_finite(in_slope) || !is_finite(out_slope)) {
        CORE_LOG_WARNING("FCurve.set_key_tangents: the slopes must be finite numbers, not "
                         << in_slope << " and " << out_slope << "\n");
        return false;
    }
    FCurveKey& key = m_keys[index];
    key.type = FCurveKey::TYPE_BEZIER;
    key.in_slope = in_slope;
    key.out_slope = out_slope;
    refresh(index, index);
    return true;
}

bool FCurve::set_pre_behavior(Behavior const& behavior)
{
    if (!is_valid_behavior(behavior)) {
        CORE_LOG_WARNING("FCurve.set_pre_behavior: unknown behavior " << static_cast<int>(behavior) << "\n");
        return false;
    }
    m_pre = behavior;
    return true;
}

bool FCurve::set_post_behavior(Behavior const& behavior)
{
    if (!is_valid_behavior(behavior)) {
        CORE_LOG_WARNING("FCurve.set_post_behavior: unknown behavior " << static_cast<int>(behavior) << "\n");
        return false;
    }
    m_post = behavior;
    return true;
}

// --- Queries ------------------------------------------------------------------------------

int FCurve::get_key_index(FCurveKeyId const& id) const
{
    unsigned int const value = id.get_value();
    return value < m_index_by_id.size() ? m_index_by_id[value] : -1;
}

int FCurve::find_index(FCurveKeyId const& id, char const* caller) const
{
    int const index = get_key_index(id);
    if (index < 0) CORE_LOG_WARNING("FCurve." << caller << ": no key with id " << id.get_value() << "\n");
    return index;
}

FCurveKeyId FCurve::get_key_id(unsigned int const& index) const
{
    if (index >= get_key_count()) {
        CORE_LOG_WARNING("FCurve.get_key_id: index " << index << " out of range (" << get_key_count()
                                                     << " keys)\n");
        return FCurveKeyId();
    }
    return m_keys[index].id;
}

FCurveKeyId FCurve::get_first_key_after(double const& time) const
{
    auto const it = std::upper_bound(m_times.begin(), m_times.end(), time);
    return it == m_times.end() ? FCurveKeyId() : m_keys[it - m_times.begin()].id;
}

double FCurve::get_key_time(FCurveKeyId const& id) const
{
    int const index = find_index(id, "get_key_time");
    return index < 0 ? 0.0 : m_keys[index].time;
}

double FCurve::get_key_value(FCurveKeyId const& id) const
{
    int const index = find_index(id, "get_key_value");
    return index < 0 ? 0.0 : m_keys[index].value;
}

FCurveKey::Type FCurve::get_key_type(FCurveKeyId const& id) const
{
    int const index = find_index(id, "get_key_type");
    return index < 0 ? FCurveKey::TYPE_CONSTANT : m_keys[index].type;
}

bool FCurve::get_key_tangents(FCurveKeyId const& id, double& in_slope, double& out_slope) const
{
    int const index = find_index(id, "get_key_tangents");
    if (index < 0) return false;
    in_slope = m_keys[index].in_slope;
    out_slope = m_keys[index].out_slope;
    return true;
}

// --- Keeping the derived data -------------------------------------------------------------

unsigned int FCurve::get_insert_index(double const& time) const
{
    return static_cast<unsigned int>(std::upper_bound(m_times.begin(), m_times.end(), time) - m_times.begin());
}

void FCurve::insert_at(unsigned int const& index, FCurveKey const& key)
{
    m_keys.insert(m_keys.begin() + index, key);
    m_times.insert(m_times.begin() + index, key.time);
    m_segments.insert(m_segments.begin() + index, Segment());
}

void FCurve::erase_at(unsigned int const& index)
{
    m_keys.erase(m_keys.begin() + index);
    m_times.erase(m_times.begin() + index);
    m_segments.erase(m_segments.begin() + index);
}

void FCurve::reindex(unsigned int const& first, unsigned int const& last)
{
    for (unsigned int i = first; i <= last && i < get_key_count(); ++i)
        m_index_by_id[m_keys[i].id.get_value()] = static_cast<int>(i);
}

// A key's slopes depend on its neighbours' times and values, and a segment on its two keys
// and their slopes: a change to keys first..last reaches the slopes of one key more on each
// side and the segments that start up to two keys before.
void FCurve::refresh(int const& first, int const& last)
{
    int const count = static_cast<int>(get_key_count());
    for (int i = std::max(0, first - 1); i <= std::min(count - 1, last + 1); ++i) compute_slopes(i);
    for (int i = std::max(0, first - 2); i <= std::min(count - 2, last + 1); ++i) compute_segment(i);
}

void FCurve::compute_slopes(unsigned int const& index)
{
    FCurveKey& key = m_keys[index];
    if (key.type == FCurveKey::TYPE_BEZIER) return;
    if (key.type == FCurveKey::TYPE_CONSTANT) {
        key.in_slope = key.out_slope = 0.0;
        return;
    }
    // Neighbours at the key's own time form a step: the key is an end on that side.
    bool const has_left = index > 0 && m_times[index - 1] < key.time;
    bool const has_right = index + 1 < get_key_count() && m_times[index + 1] > key.time;
    double const left = has_left ? (key.value - m_keys[index - 1].value) / (key.time - m_times[index - 1]) : 0.0;
    double const right = has_right ? (m_keys[index + 1].value - key.value) / (m_times[index + 1] - key.time) : 0.0;
    if (key.type == FCurveKey::TYPE_LINEAR) {
        key.in_slope = has_left ? left : right;
        key.out_slope = has_right ? right : left;
        return;
    }
    double slope = 0.0;
    if (has_left && has_right) {
        FCurveKey const& before = m_keys[index - 1];
        FCurveKey const& after = m_keys[index + 1];
        slope = (after.value - before.value) / (after.time - before.time);
        if (key.type == FCurveKey::TYPE_SMOOTH_CLAMPED) {
            // Flat at a peak or a dip; elsewhere at most three times the gentler chord,
            // which keeps a cubic between two such keys monotonic.
            if (left * right <= 0.0) slope = 0.0;
            else slope = std::copysign(std::min(std::fabs(slope), 3.0 * std::min(std::fabs(left), std::fabs(right))), slope);
        }
    } else if (has_left) {
        slope = left;
    } else if (has_right) {
        slope = right;
    }
    key.in_slope = key.out_slope = slope;
}

void FCurve::compute_segment(unsigned int const& index)
{
    FCurveKey const& from = m_keys[index];
    FCurveKey const& to = m_keys[index + 1];
    Segment& segment = m_segments[index];
    double const length = to.time - from.time;
    segment = Segment();
    segment.c0 = from.value;
    if (length <= 0.0) return;
    segment.inverse_length = 1.0 / length;
    double const rise = to.value - from.value;
    switch (from.type) {
    case FCurveKey::TYPE_CONSTANT: break;
    case FCurveKey::TYPE_LINEAR: segment.c1 = rise; break;
    default: {
        // The cubic Hermite through both keys with their slopes, scaled to s in [0, 1].
        double const m0 = from.out_slope * length;
        double const m1 = to.in_slope * length;
        segment.c1 = m0;
        segment.c2 = 3.0 * rise - 2.0 * m0 - m1;
        segment.c3 = -2.0 * rise + m0 + m1;
        break;
    }
    }
}

// --- Evaluation ---------------------------------------------------------------------------

unsigned int FCurve::find_segment(double const& time) const
{
    unsigned int const count = get_key_count();
    unsigned int hint = m_hint.index.load(std::memory_order_relaxed);
    if (hint + 1 < count && m_times[hint] <= time) {
        if (time < m_times[hint + 1]) return hint;
        if (hint + 2 < count && time < m_times[hint + 2]) {
            m_hint.index.store(hint + 1, std::memory_order_relaxed);
            return hint + 1;
        }
    }
    // The last key at or before `time` (never the last key, since time is below its time),
    // by a search without branches on the comparisons: random times would mispredict about
    // half of them, which costs more than the search itself.
    double const* times = m_times.data();
    unsigned int index = 0;
    for (unsigned int remaining = count; remaining > 1;) {
        unsigned int const half = remaining / 2;
        index = times[index + half] <= time ? index + half : index;
        remaining -= half;
    }
    m_hint.index.store(index, std::memory_order_relaxed);
    return index;
}

double FCurve::eval_inside(double const& time) const
{
    if (time >= m_times.back()) return m_keys.back().value;
    unsigned int const index = find_segment(time);
    Segment const& segment = m_segments[index];
    return segment.at((time - m_times[index]) * segment.inverse_length);
}

double FCurve::eval(double const& time) const
{
    if (m_keys.empty()) return 0.0;
    if (time < m_times.front()) return eval_outside(time, m_pre, true);
    if (time > m_times.back()) return eval_outside(time, m_post, false);
    if (time != time) return time;
    return eval_inside(time);
}

double FCurve::get_end_slope(bool const& start) const
{
    // The derivative of the first or last segment of some length, at the end key.
    unsigned int const count = get_key_count();
    if (start) {
        for (unsigned int i = 0; i + 1 < count; ++i) {
            Segment const& segment = m_segments[i];
            if (segment.inverse_length > 0.0) return segment.c1 * segment.inverse_length;
        }
    } else {
        for (unsigned int i = count - 1; i-- > 0;) {
            Segment const& segment = m_segments[i];
            if (segment.inverse_length > 0.0)
                return (segment.c1 + 2.0 * segment.c2 + 3.0 * segment.c3) * segment.inverse_length;
        }
    }
    return 0.0;
}

double FCurve::eval_outside(double const& time, Behavior const& behavior, bool const& before) const
{
    double const first = m_times.front();
    double const last = m_times.back();
    // Before a step at the first time the curve holds the first of its keys.
    double const end_value = before ? m_keys.front().value : m_keys.back().value;
    double const period = last - first;
    if (behavior == BEHAVIOR_LINEAR) {
        double const slope = get_end_slope(before);
        return slope == 0.0 ? end_value : end_value + (time - (before ? first : last)) * slope;
    }
    if (!is_cyclic(behavior) || period <= 0.0) return end_value;
    double const rise = m_keys.back().value - m_keys.front().value;
    if (!is_finite(time)) {
        // Repetitions have no limit, but an offset cycle climbs without end.
        if (behavior != BEHAVIOR_CYCLE_OFFSET || rise == 0.0) return end_value;
        return (time > 0.0) == (rise > 0.0) ? std::numeric_limits<double>::infinity()
                                            : -std::numeric_limits<double>::infinity();
    }
    double const repetition = std::floor((time - first) / period);
    double local = std::clamp(time - repetition * period, first, last);
    if (behavior == BEHAVIOR_OSCILLATE && std::fmod(repetition, 2.0) != 0.0) local = first + last - local;
    double value = eval_inside(local);
    if (behavior == BEHAVIOR_CYCLE_OFFSET) value += repetition * rise;
    return value;
}

// --- Value range --------------------------------------------------------------------------

void FCurve::extend_range_inside(double start, double end, double& min, double& max) const
{
    start = std::max(start, m_times.front());
    end = std::min(end, m_times.back());
    include(eval_inside(start), min, max);
    include(eval_inside(end), min, max);
    if (!(start < end)) return;
    unsigned int const count = get_key_count();
    for (unsigned int i = find_segment(start); i + 1 < count && m_times[i] < end; ++i) {
        Segment const& segment = m_segments[i];
        if (segment.inverse_length <= 0.0) continue;
        double const s0 = std::max(0.0, (start - m_times[i]) * segment.inverse_length);
        double const s1 = std::min(1.0, (end - m_times[i]) * segment.inverse_length);
        include(segment.at(s0), min, max);
        include(segment.at(s1), min, max);
        // Turning points: roots of c1 + 2 c2 s + 3 c3 s^2 within (s0, s1).
        double const a = 3.0 * segment.c3, b = 2.0 * segment.c2, c = segment.c1;
        double roots[2];
        int root_count = 0;
        if (a == 0.0) {
            if (b != 0.0) roots[root_count++] = -c / b;
        } else {
            double const discriminant = b * b - 4.0 * a * c;
            if (discriminant >= 0.0) {
                double const q = -0.5 * (b + std::copysign(std::sqrt(discriminant), b));
                roots[root_count++] = q / a;
                if (q != 0.0) roots[root_count++] = c / q;
            }
        }
        for (int r = 0; r < root_count; ++r)
            if (roots[r] > s0 && roots[r] < s1) include(segment.at(roots[r]), min, max);
    }
}

void FCurve::extend_range_outside(double const& start, double const& end, Behavior const& behavior,
                                  bool const& before, double& min, double& max) const
{
    double const first = m_times.front();
    double const last = m_times.back();
    double const period = last - first;
    if (!is_cyclic(behavior) || period <= 0.0) {
        // Constant or linear: monotonic, so the ends bound it.
        include(eval_outside(start, behavior, before), min, max);
        include(eval_outside(end, behavior, before), min, max);
        return;
    }
    double const rise = behavior == BEHAVIOR_CYCLE_OFFSET ? m_keys.back().value - m_keys.front().value : 0.0;
    // One repetition's part [start, end] in repetition n, mapped onto the keys.
    auto piece = [&](double const& n, double const& start, double const& end) {
        double local_start = std::clamp(start - n * period, first, last);
        double local_end = std::clamp(end - n * period, first, last);
        if (behavior == BEHAVIOR_OSCILLATE && std::fmod(n, 2.0) != 0.0) {
            double const mirrored_start = first + last - local_end;
            local_end = first + last - local_start;
            local_start = mirrored_start;
        }
        double low = std::numeric_limits<double>::infinity(), high = -low;
        extend_range_inside(local_start, local_end, low, high);
        include(low + n * rise, min, max);
        include(high + n * rise, min, max);
    };
    double const n_start = std::floor((start - first) / period);
    double const n_end = std::floor((end - first) / period);
    if (n_start == n_end) {
        piece(n_start, start, end);
        return;
    }
    piece(n_start, start, first + (n_start + 1.0) * period);
    piece(n_end, first + n_end * period, end);
    if (n_end - n_start >= 2.0) {
        // Whole repetitions in between: the keys' full range, shifted by the offsets of the
        // first and the last of them.
        piece(n_start + 1.0, first + (n_start + 1.0) * period, last + (n_start + 1.0) * period);
        piece(n_end - 1.0, first + (n_end - 1.0) * period, last + (n_end - 1.0) * period);
    }
}

bool FCurve::get_value_range(double const& start, double const& end, double& min, double& max) const
{
    if (!is_finite(start) || !is_finite(end) || start > end) {
        CORE_LOG_WARNING("FCurve.get_value_range: bad range [" << start << ", " << end << "]\n");
        return false;
    }
    if (m_keys.empty()) return false;
    double low = std::numeric_limits<double>::infinity(), high = -low;
    double const first = m_times.front();
    double const last = m_times.back();
    if (start < first) extend_range_outside(start, std::min(end, first), m_pre, true, low, high);
    if (end > last) extend_range_outside(std::max(start, last), end, m_post, false, low, high);
    if (end >= first && start <= last) extend_range_inside(start, end, low, high);
    min = low;
    max = high;
    return true;
}
