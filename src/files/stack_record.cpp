// Writing and reading a stack of regions as one JSON object, every key named by its path.
#include "files/stack_record.hpp"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <vector>

#include "numerics/fp_guard.hpp"

namespace emforce {

namespace {

using Kind = JsonValue::Kind;

constexpr std::array<std::string_view, 3> kCoreNames = {"ideal iron", "solid", "air"};
constexpr std::array<std::string_view, 2> kExcitationNames = {"sheet", "band"};
constexpr std::array<std::string_view, 2> kStatorNames = {"ideal iron", "shell"};

[[noreturn]] void refuse(const std::string& key, const std::string& what) {
    throw CalcError("key '" + key + "' must be " + what);
}

std::string numberText(double v, const std::string& key) {
    if (!std::isfinite(v)) throw CalcError("key '" + key + "' is not a finite number");
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    return {buffer, end};
}

std::string complexText(const Complex& z, const std::string& key) {
    return "[" + numberText(z.re(), key) + ", " + numberText(z.im(), key) + "]";
}

template <size_t N>
std::string nameText(const std::array<std::string_view, N>& names, auto kind) {
    return jsonQuoted(names[static_cast<size_t>(kind)]);
}

double numberIn(const JsonValue& v, const std::string& key) {
    double d = 0;
    if (v.kind == Kind::Number) {
        const char* end = v.text.data() + v.text.size();
        const auto [ptr, ec] = std::from_chars(v.text.data(), end, d);
        if (ec == std::errc{} && ptr == end && std::isfinite(d)) return d;
    }
    refuse(key, "a number");
}

// The members of one JSON object taken one by one; whatever is left over is unknown.
class ObjectReader {
public:
    ObjectReader(const JsonValue& value, std::string path)
        : m_value(value), m_path(std::move(path)) {
        if (value.kind != Kind::Object) refuse(m_path, "an object");
    }

    [[nodiscard]] std::string path(std::string_view key) const {
        return m_path + "." + std::string(key);
    }

    const JsonValue* optional(std::string_view key) {
        m_taken.emplace_back(key);
        for (const auto& [name, value] : m_value.members)
            if (name == key) return &value;
        return nullptr;
    }

    const JsonValue& required(std::string_view key) {
        const JsonValue* v = optional(key);
        if (v == nullptr) throw CalcError("missing key '" + path(key) + "'");
        return *v;
    }

    double number(std::string_view key) { return numberIn(required(key), path(key)); }

    int whole(std::string_view key, int low, int high) {
        const JsonValue& v = required(key);
        if (v.kind == Kind::Number && v.text.find_first_of(".eE") == std::string::npos &&
            v.text.size() <= 6) {
            const int n = std::stoi(v.text);
            if (n >= low && n <= high) return n;
        }
        refuse(path(key),
               "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    }

    template <size_t N>
    int choice(std::string_view key, const std::array<std::string_view, N>& names) {
        const JsonValue& v = required(key);
        for (size_t i = 0; i < N; ++i)
            if (v.kind == Kind::Text && v.text == names[i]) return static_cast<int>(i);
        std::string list;
        for (std::string_view n : names)
            list += (list.empty() ? "\"" : ", \"") + std::string(n) + "\"";
        refuse(path(key), "one of " + list);
    }

    const std::vector<JsonValue>& list(std::string_view key) {
        const JsonValue& v = required(key);
        if (v.kind != Kind::List) refuse(path(key), "a list");
        return v.items;
    }

    // Refuses the first member that was not taken.
    void finish() const {
        for (const auto& [name, value] : m_value.members)
            if (std::ranges::find(m_taken, name) == m_taken.end())
                throw CalcError("unknown key '" + path(name) + "'");
    }

private:
    const JsonValue& m_value;
    std::string m_path;
    std::vector<std::string> m_taken;
};

Complex complexOf(const JsonValue& v, const std::string& key) {
    if (v.kind != Kind::List || v.items.size() != 2) refuse(key, "a list of 2 numbers (re, im)");
    return {numberIn(v.items[0], key), numberIn(v.items[1], key)};
}

Reluctivity reluctivityOf(const JsonValue& v, const std::string& key) {
    ObjectReader in(v, key);
    Reluctivity r;
    r.nu1 = in.number("nu1");
    r.nu2 = in.number("nu2");
    r.nu12 = complexOf(in.required("nu12"), in.path("nu12"));
    r.nu21 = complexOf(in.required("nu21"), in.path("nu21"));
    in.finish();
    return r;
}

StackLayer layerOf(const JsonValue& v, const std::string& key) {
    ObjectReader in(v, key);
    StackLayer layer;
    const JsonValue& name = in.required("name");
    if (name.kind != Kind::Text) refuse(in.path("name"), "a text");
    layer.name = name.text;
    layer.width = in.number("width");
    layer.sigma = in.number("sigma");
    layer.muR = in.number("muR");
    if (const JsonValue* r = in.optional("reluctivity"))
        layer.reluctivity = reluctivityOf(*r, in.path("reluctivity"));
    in.finish();
    return layer;
}

CoilSide sideOf(const JsonValue& v, const std::string& key) {
    ObjectReader in(v, key);
    CoilSide side;
    side.midline = in.number("midline");
    side.width = in.number("width");
    side.phase = in.whole("phase", 0, 999);
    side.sign = in.whole("sign", -1, 1);
    side.density = in.number("density");
    in.finish();
    return side;
}

Winding windingOf(const JsonValue& v, const std::string& key) {
    ObjectReader in(v, key);
    Winding w;
    const std::string angles = in.path("phaseAngles");
    for (const JsonValue& a : in.list("phaseAngles")) w.phaseAngles.push_back(numberIn(a, angles));
    const auto& sides = in.list("sides");
    for (size_t i = 0; i < sides.size(); ++i)
        w.sides.push_back(sideOf(sides[i], in.path("sides") + "[" + std::to_string(i) + "]"));
    in.finish();
    return w;
}

}  // namespace

std::string stackJson(const RegionStack& s, std::string_view indent) {
    if (!s.waves.empty())
        throw CalcError(
            "key 'stack.waves' cannot be written: a record holds the winding, not its waves");
    const std::string in(indent), in2 = in + "  ", in3 = in2 + "  ";
    const auto num = [](double v, const std::string& key) { return numberText(v, "stack." + key); };
    std::string core = "{\"kind\": " + nameText(kCoreNames, s.core) +
                       ", \"surface\": " + num(s.coreSurface, "core.surface");
    if (s.core == CoreKind::Solid)
        core += ", \"sigma\": " + num(s.coreSigma, "core.sigma") +
                ", \"muR\": " + num(s.coreMuR, "core.muR");
    std::string layers;
    for (size_t i = 0; i < s.layers.size(); ++i) {
        const StackLayer& l = s.layers[i];
        const std::string key = "layers[" + std::to_string(i) + "].";
        layers += (i ? ",\n" : "\n") + in3 + "{\"name\": " + jsonQuoted(l.name) +
                  ", \"width\": " + num(l.width, key + "width") +
                  ", \"sigma\": " + num(l.sigma, key + "sigma") +
                  ", \"muR\": " + num(l.muR, key + "muR");
        if (const auto& r = l.reluctivity)
            layers += ", \"reluctivity\": {\"nu1\": " + num(r->nu1, key + "reluctivity.nu1") +
                      ", \"nu2\": " + num(r->nu2, key + "reluctivity.nu2") +
                      ", \"nu12\": " + complexText(r->nu12, "stack." + key + "reluctivity.nu12") +
                      ", \"nu21\": " + complexText(r->nu21, "stack." + key + "reluctivity.nu21") +
                      "}";
        layers += "}";
    }
    std::string excitation = "{\"kind\": " + nameText(kExcitationNames, s.excitation);
    if (s.excitation == ExcitationKind::Band)
        excitation += ", \"width\": " + num(s.bandWidth, "excitation.width");
    std::string stator = "{\"kind\": " + nameText(kStatorNames, s.stator);
    if (s.stator == StatorKind::Shell)
        stator += ", \"thickness\": " + num(s.statorThickness, "stator.thickness") +
                  ", \"muR\": " + num(s.statorMuR, "stator.muR") +
                  ", \"sigma\": " + num(s.statorSigma, "stator.sigma");
    std::string angles;
    for (double a : s.winding.phaseAngles)
        angles += (angles.empty() ? "" : ", ") + num(a, "winding.phaseAngles");
    std::string sides;
    for (size_t i = 0; i < s.winding.sides.size(); ++i) {
        const CoilSide& c = s.winding.sides[i];
        const std::string key = "winding.sides[" + std::to_string(i) + "].";
        sides += (i ? ",\n" : "\n") + in3 + "  {\"midline\": " + num(c.midline, key + "midline") +
                 ", \"width\": " + num(c.width, key + "width") +
                 ", \"phase\": " + std::to_string(c.phase) +
                 ", \"sign\": " + std::to_string(c.sign) +
                 ", \"density\": " + num(c.density, key + "density") + "}";
    }
    return "{\n" + in2 + "\"core\": " + core + "},\n" + in2 + "\"layers\": [" + layers +
           (layers.empty() ? "]" : "\n" + in2 + "]") + ",\n" + in2 +
           "\"gap\": " + num(s.gap, "gap") + ",\n" + in2 + "\"excitation\": " + excitation +
           "},\n" + in2 + "\"stator\": " + stator + "},\n" + in2 + "\"winding\": {\n" + in3 +
           "\"phaseAngles\": [" + angles + "],\n" + in3 + "\"sides\": [" + sides +
           (sides.empty() ? "]" : "\n" + in3 + "]") + "\n" + in2 + "},\n" + in2 +
           "\"highestOrder\": " + std::to_string(s.highestOrder) + "\n" + in + "}";
}

RegionStack stackFromJson(const JsonValue& value) {
    ObjectReader in(value, "stack");
    RegionStack s;
    {
        ObjectReader core(in.required("core"), in.path("core"));
        s.core = static_cast<CoreKind>(core.choice("kind", kCoreNames));
        s.coreSurface = core.number("surface");
        if (s.core == CoreKind::Solid) {
            s.coreSigma = core.number("sigma");
            s.coreMuR = core.number("muR");
        }
        core.finish();
    }
    const auto& layers = in.list("layers");
    for (size_t i = 0; i < layers.size(); ++i)
        s.layers.push_back(layerOf(layers[i], in.path("layers") + "[" + std::to_string(i) + "]"));
    s.gap = in.number("gap");
    {
        ObjectReader excitation(in.required("excitation"), in.path("excitation"));
        s.excitation = static_cast<ExcitationKind>(excitation.choice("kind", kExcitationNames));
        if (s.excitation == ExcitationKind::Band) s.bandWidth = excitation.number("width");
        excitation.finish();
    }
    {
        ObjectReader stator(in.required("stator"), in.path("stator"));
        s.stator = static_cast<StatorKind>(stator.choice("kind", kStatorNames));
        if (s.stator == StatorKind::Shell) {
            s.statorThickness = stator.number("thickness");
            s.statorMuR = stator.number("muR");
            s.statorSigma = stator.number("sigma");
        }
        stator.finish();
    }
    s.winding = windingOf(in.required("winding"), in.path("winding"));
    s.highestOrder = in.whole("highestOrder", 1, kMaxWindingOrder);
    in.finish();
    return s;
}

}  // namespace emforce
