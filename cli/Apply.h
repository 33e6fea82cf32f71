#pragma once
// quillet-cli apply: opens a picture as the editor does, runs one editing operation exactly as
// its command does (same core function, same journal step) and saves the result as convert
// does. Operations are registered by theme: each theme's file lists its operations with their
// parameters, ranges and defaults, and adds itself to the registry in one line (Apply.cpp).
#include <iosfwd>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillet {
class CBrevDoc;
}

namespace quillet::cli {

// One NAME=VALUE parameter: an integer in low..high, or one of `choices` (given by its text,
// passed on as its index). Without a default the parameter must be given.
struct ApplyParameter {
    std::string_view name;
    int low = 0;
    int high = 0;
    int defaultValue = 0;
    bool required = false;
    std::vector<std::string_view> choices = {};
};

// What an operation gets: the document, the values of its parameters in declaration order,
// and the slot named by --layer (-1 when none was).
struct ApplyContext {
    CBrevDoc& doc;
    std::span<const int> values;
    int layer = -1;
};

struct ApplyOperation {
    std::string_view name;
    std::string_view summary;
    std::vector<ApplyParameter> parameters;
    bool acceptsLayer = true;  // whether --layer means anything to it
    // False when the operation refused (the reason went to the user port); doing nothing
    // because nothing needs doing is success.
    bool (*run)(const ApplyContext&) = nullptr;
};

// Every registered operation, in registration order.
const std::vector<ApplyOperation>& ApplyOperations();

// quillet-cli apply IN OUT OPERATION [NAME=VALUE ...] [--layer SLOT] and apply --list.
// Exit codes: 0 done, 1 a file could not be read or written or the operation refused,
// 2 wrong arguments (the usage follows).
int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The themes' registrations.
void AddGeometryOperations(std::vector<ApplyOperation>& registry);

}  // namespace quillet::cli
