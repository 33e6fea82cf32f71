#pragma once
// The operations `quillet-cli apply` runs: each a name, its parameters with their ranges and
// defaults, and the document command it calls. A theme of operations lives in its own file
// (AdjustOperations.cpp, ...) as one table; ApplyRegistry.cpp lists the tables.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quillet {
class CBrevDoc;
enum class EditOutcome;
}  // namespace quillet

namespace quillet::cli {

// How a parameter's value is written: a number (or a choice's name), a colour as RRGGBB in
// hexadecimal, or free text (UTF-8).
enum class ApplyValueKind : uint8_t { Number, Colour, Text };

struct ApplyParameter {
    std::string_view name;
    int64_t minimum = 0;
    int64_t maximum = 0;
    int64_t defaultValue = 0;
    // Values given by name: choices[i] stands for minimum + i (numbers are taken too).
    std::span<const std::string_view> choices{};
    std::string_view help{};  // shown by --list after the range
    bool required = false;    // no default: the run needs the value
    ApplyValueKind kind = ApplyValueKind::Number;
};

inline constexpr size_t kMaxApplyParameters = 16;

// The values of one run, in the order of the operation's parameters.
class ApplyValues {
public:
    std::array<int64_t, kMaxApplyParameters> value{};
    std::array<bool, kMaxApplyParameters> given{};
    std::array<std::string, kMaxApplyParameters> text{};  // the values of text parameters
    std::span<const ApplyParameter> parameters;
    int layer = -1;  // the slot --layer named (it is the current layer then), -1 without it

    // The value of the parameter called `name` (its default when it was not given).
    int64_t operator[](std::string_view name) const;
    int Int(std::string_view name) const { return int((*this)[name]); }
    bool Given(std::string_view name) const;
    // The value of the text parameter called `name`, empty when it was not given.
    std::string_view Text(std::string_view name) const;
};

// What an operation works on, which decides the options it takes.
enum class ApplyTarget : uint8_t {
    Pixels,  // the current layer (or --layer's); with --select only the pixels selected
    Layers,  // whole layers: the canvas, or with --layer that layer alone; no --select
    Canvas,  // every layer and the canvas; neither --layer nor --select
};

struct ApplyOperation {
    std::string_view name;
    std::string_view summary;  // one line for --list
    std::span<const ApplyParameter> parameters;
    // The document command, run on the current layer (or the one --layer chose).
    EditOutcome (*run)(CBrevDoc& doc, const ApplyValues& values);
    // Further checks of a combination of values; an empty text means they are fine.
    std::string (*check)(const ApplyValues& values) = nullptr;
    // Extra lines for --list (a table the operation takes names from).
    std::string (*details)() = nullptr;
    ApplyTarget target = ApplyTarget::Pixels;
};

// Every operation of every theme, in registry order; the named one, or null.
std::span<const ApplyOperation* const> ApplyOperations();
const ApplyOperation* FindApplyOperation(std::string_view name);

// The themes' tables, each defined beside its operations.
std::span<const ApplyOperation> AdjustOperations();
std::span<const ApplyOperation> FilterOperations();
std::span<const ApplyOperation> GeometryOperations();
std::span<const ApplyOperation> TextOperations();

}  // namespace quillet::cli
