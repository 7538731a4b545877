// Writing and reading the run record, one key per field of the input record.
#include "files/run_record.hpp"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>
#include <vector>

#include "files/safe_file.hpp"
#include "files/json.hpp"
#include "files/stack_record.hpp"
#include "model/spectrum.hpp"
#include "numerics/fp_guard.hpp"

namespace emforce {

namespace fs = std::filesystem;

namespace {

using Kind = JsonValue::Kind;

// A value that does not fit its key; what() is the message without the file's name.
struct Refusal {
    std::string what;
};

[[noreturn]] void refuse(std::string_view key, const std::string& what) {
    throw Refusal{"key '" + std::string(key) + "' must be " + what};
}

constexpr std::array<std::string_view, 2> kMotorNames = {"induction", "synchronous"};
constexpr std::array<std::string_view, 3> kGeometryNames = {"linear", "cylindrical", "spherical"};

std::string quotedText(std::string_view key, std::string_view text) {
    if (!isUtf8(text)) throw CalcError("the text of key '" + std::string(key) + "' is not UTF-8");
    return jsonQuoted(text);
}

const std::string& textOf(const JsonValue& v, std::string_view key) {
    if (v.kind != Kind::Text) refuse(key, "a text");
    return v.text;
}

// A JSON integer literal within [low, high]; "1.0" and "1e0" are not whole numbers here.
std::optional<int> wholeIn(const JsonValue& v, int low, int high) {
    if (v.kind != Kind::Number || v.text.find_first_of(".eE") != std::string::npos)
        return std::nullopt;
    if (v.text.size() > 6) return std::nullopt;  // far outside any range of the record
    const int n = std::stoi(v.text);
    if (n < low || n > high) return std::nullopt;
    return n;
}

int wholeOf(const JsonValue& v, std::string_view key, int low, int high) {
    const auto n = wholeIn(v, low, high);
    if (!n)
        refuse(key, "a whole number from " + std::to_string(low) + " to " + std::to_string(high));
    return *n;
}

template <size_t N>
int choiceOf(const JsonValue& v, std::string_view key,
             const std::array<std::string_view, N>& names) {
    const int i = v.kind == Kind::Text ? itemIndex(names, v.text) : -1;
    if (i < 0) {
        std::string list;
        for (std::string_view n : names)
            list += (list.empty() ? "\"" : ", \"") + std::string(n) + "\"";
        refuse(key, "one of " + list);
    }
    return i;
}

template <size_t R, size_t C>
std::string tableText(std::string_view key,
                      const std::array<std::array<std::string, C>, R>& table) {
    std::string out = "[";
    for (size_t row = 0; row < R; ++row) {
        out += row ? ",\n    [" : "\n    [";
        for (size_t col = 0; col < C; ++col)
            out += (col ? ", " : "") + quotedText(key, table[row][col]);
        out += "]";
    }
    return out + "\n  ]";
}

template <size_t R, size_t C>
void readTable(const JsonValue& v, std::string_view key,
               std::array<std::array<std::string, C>, R>& table) {
    const std::string shape =
        "a list of " + std::to_string(R) + " rows of " + std::to_string(C) + " texts";
    if (v.kind != Kind::List || v.items.size() != R) refuse(key, shape);
    for (size_t row = 0; row < R; ++row) {
        const JsonValue& cells = v.items[row];
        if (cells.kind != Kind::List || cells.items.size() != C) refuse(key, shape);
        for (size_t col = 0; col < C; ++col) {
            if (cells.items[col].kind != Kind::Text) refuse(key, shape);
            table[row][col] = cells.items[col].text;
        }
    }
}

template <class T, size_t N, class F>
std::string listText(const std::array<T, N>& values, F&& each) {
    std::string out = "[";
    for (size_t i = 0; i < N; ++i) out += (i ? ", " : "") + each(values[i]);
    return out + "]";
}

void readCurves(const JsonValue& v, InputRecord& r) {
    const auto isBoolean = [](const JsonValue& item) { return item.kind == Kind::Boolean; };
    if (v.kind != Kind::List || v.items.size() != kCurveSlots ||
        !std::ranges::all_of(v.items, isBoolean))
        refuse("curves", "a list of " + std::to_string(kCurveSlots) + " booleans");
    for (size_t slot = 0; slot < r.curves.size(); ++slot) r.curves[slot] = v.items[slot].boolean;
}

void readAxisDescriptions(const JsonValue& v, InputRecord& r) {
    // Each entry is an item index of its list, -1 for none.
    const std::array<int, 4> counts = {
        static_cast<int>(kLeftAxisItems.size()), static_cast<int>(kBottomAxisItems.size()),
        static_cast<int>(kFontSizeItems.size()), static_cast<int>(kFontSizeItems.size())};
    std::string ranges;
    for (int count : counts)
        ranges += (ranges.empty() ? "" : ", ") + ("-1.." + std::to_string(count - 1));
    const std::string shape = "a list of 4 whole numbers in " + ranges;
    if (v.kind != Kind::List || v.items.size() != counts.size()) refuse("axisDescriptions", shape);
    for (size_t i = 0; i < counts.size(); ++i) {
        const auto n = wholeIn(v.items[i], -1, counts[i] - 1);
        if (!n) refuse("axisDescriptions", shape);
        r.axisDescriptions[i] = *n;
    }
}

// One key of the record: how its value is written and how it is read back.
struct Field {
    std::string_view key;
    std::function<std::string(const InputRecord&)> write;
    std::function<void(const JsonValue&, InputRecord&)> read;
    /// What a record without the key holds; keys without it are required.
    std::function<void(InputRecord&)> whenMissing = {};
    /// The first version that has the key; older records do not know it.
    int since = 1;
    /// Whether a record has the key; keys without it are always written.
    std::function<bool(const InputRecord&)> written = {};
};

Field textField(std::string_view key, std::string InputRecord::*member) {
    return {key, [key, member](const InputRecord& r) { return quotedText(key, r.*member); },
            [key, member](const JsonValue& v, InputRecord& r) { r.*member = textOf(v, key); }};
}

// A text key that a record may lack; it then holds `missing`.
Field textField(std::string_view key, std::string InputRecord::*member, std::string_view missing) {
    Field field = textField(key, member);
    field.whenMissing = [member, missing](InputRecord& r) { r.*member = std::string(missing); };
    return field;
}

// The machine as a stack of regions: a key of version 2 that a record without a stack lacks.
Field stackField() {
    Field field{"stack", [](const InputRecord& r) { return stackJson(*r.stack, "  "); },
                [](const JsonValue& v, InputRecord& r) {
                    try {
                        r.stack = stackFromJson(v);
                    } catch (const CalcError& e) {
                        throw Refusal{e.what()};
                    }
                }};
    field.whenMissing = [](InputRecord& r) { r.stack.reset(); };
    field.since = 2;
    field.written = [](const InputRecord& r) { return r.stack.has_value(); };
    return field;
}

// The keys after "format" and "version", in the order of the file.
const std::vector<Field>& fields() {
    static const std::vector<Field> all = {
        {"motor", [](const InputRecord& r) { return jsonQuoted(kMotorNames[r.induction ? 0 : 1]); },
         [](const JsonValue& v, InputRecord& r) {
             r.induction = choiceOf(v, "motor", kMotorNames) == 0;
         }},
        {"geometry",
         [](const InputRecord& r) {
             return jsonQuoted(kGeometryNames[static_cast<size_t>(r.geometry)]);
         },
         [](const JsonValue& v, InputRecord& r) {
             r.geometry = static_cast<Geometry>(choiceOf(v, "geometry", kGeometryNames));
         }},
        {"windingPattern", [](const InputRecord& r) { return std::to_string(r.windingPattern); },
         [](const JsonValue& v, InputRecord& r) {
             r.windingPattern = wholeOf(v, "windingPattern", 0, kWindingPatternCount - 1);
         }},
        textField("highestHarmonic", &InputRecord::highestHarmonic),
        textField("integrationMethod", &InputRecord::integrationMethod),
        textField("besselFunctions", &InputRecord::besselFunctions),
        // Records written before the choice existed rerun to the numbers they were written with.
        textField("formulation", &InputRecord::formulation, kFormulationItems[1]),
        textField("besselAccuracy", &InputRecord::besselAccuracy),
        textField("besselLimit", &InputRecord::besselLimit),
        textField("pointsPerCurve", &InputRecord::pointsPerCurve),
        {"domain", [](const InputRecord& r) { return std::to_string(r.domain); },
         [](const JsonValue& v, InputRecord& r) { r.domain = wholeOf(v, "domain", 0, 4); }},
        textField("minSpeed", &InputRecord::minSpeed),
        textField("maxSpeed", &InputRecord::maxSpeed),
        {"sweepRanges",
         [](const InputRecord& r) { return tableText("sweepRanges", r.sweepRanges); },
         [](const JsonValue& v, InputRecord& r) { readTable(v, "sweepRanges", r.sweepRanges); },
         // Records written before the key existed read with every range automatic.
         [](InputRecord&) {}},
        {"curves",
         [](const InputRecord& r) {
             return listText(r.curves, [](bool b) { return std::string(b ? "true" : "false"); });
         },
         readCurves},
        {"axisDescriptions",
         [](const InputRecord& r) {
             return listText(r.axisDescriptions, [](int i) { return std::to_string(i); });
         },
         readAxisDescriptions},
        {"parameterTable",
         [](const InputRecord& r) { return tableText("parameterTable", r.parameterTable); },
         [](const JsonValue& v, InputRecord& r) {
             readTable(v, "parameterTable", r.parameterTable);
         }},
        {"reluctivityTable",
         [](const InputRecord& r) { return tableText("reluctivityTable", r.reluctivityTable); },
         [](const JsonValue& v, InputRecord& r) {
             readTable(v, "reluctivityTable", r.reluctivityTable);
         }},
        textField("ni12dGap", &InputRecord::ni12dGap),
        textField("ni21dGap", &InputRecord::ni21dGap),
        stackField(),
    };
    return all;
}

const JsonValue* member(const JsonValue& object, std::string_view key) {
    for (const auto& [name, value] : object.members)
        if (name == key) return &value;
    return nullptr;
}

// The format and version come first, so a file of another kind is named as such; the version
// read (1 or kRecordVersion).
int checkFormat(const JsonValue& document) {
    if (document.kind != Kind::Object) throw Refusal{"the record is not a JSON object"};
    const JsonValue* format = member(document, "format");
    if (format == nullptr || format->kind != Kind::Text || format->text != kRecordFormat)
        throw Refusal{"not a run record: key 'format' must be \"" + std::string(kRecordFormat) +
                      "\""};
    const JsonValue* version = member(document, "version");
    if (version == nullptr) throw Refusal{"missing key 'version'"};
    if (version->kind != Kind::Number) refuse("version", "a whole number");
    for (int known = 1; known <= kRecordVersion; ++known)
        if (version->text == std::to_string(known)) return known;
    throw Refusal{"version " + version->text +
                  " is not supported: this program reads versions 1 to " +
                  std::to_string(kRecordVersion)};
}

InputRecord fromDocument(const JsonValue& document) {
    const int version = checkFormat(document);
    InputRecord record = startupRecord();
    std::vector<std::string_view> seen;
    for (const auto& [name, value] : document.members) {
        if (name == "format" || name == "version") continue;
        const auto field = std::ranges::find(fields(), name, &Field::key);
        if (field == fields().end() || field->since > version)
            throw Refusal{"unknown key '" + name + "'"};
        field->read(value, record);
        seen.push_back(field->key);
    }
    for (const Field& field : fields()) {
        if (std::ranges::find(seen, field.key) != seen.end()) continue;
        if (!field.whenMissing) throw Refusal{"missing key '" + std::string(field.key) + "'"};
        field.whenMissing(record);
    }
    return record;
}

}  // namespace

std::string recordText(const InputRecord& record) {
    std::string text = "{\n  \"format\": " + jsonQuoted(kRecordFormat) +
                       ",\n  \"version\": " + std::to_string(kRecordVersion);
    for (const Field& field : fields())
        if (!field.written || field.written(record))
            text += ",\n  " + jsonQuoted(field.key) + ": " + field.write(record);
    return text + "\n}\n";
}

InputRecord recordFromText(std::string_view text, const std::string& source) {
    const std::string prefix = "Record file " + source + ": ";
    try {
        return fromDocument(parseJson(text));
    } catch (const JsonSyntaxError& e) {
        throw CalcError(prefix + e.what());
    } catch (const Refusal& r) {
        throw CalcError(prefix + r.what);
    }
}

void writeRunRecord(const fs::path& path, const InputRecord& record) {
    std::string text;
    try {
        text = recordText(record);
    } catch (const CalcError& e) {
        throw CalcError("Cannot write file " + path.string() + ": " + e.what());
    }
    replaceFile(path, text);
}

InputRecord readRunRecord(const fs::path& path) {
    const std::optional<std::string> text = readSmallFile(
        path, kRecordMaxBytes, "Record file " + path.string() + ": larger than 1 MiB");
    if (!text) throw CalcError("Cannot open file " + path.string());
    return recordFromText(*text, path.string());
}

}  // namespace emforce
