#include "cli/Apply.h"

#include <charconv>
#include <ostream>

#include "base/Status.h"
#include "cli/StderrUserPort.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"

namespace quillet::cli {

namespace {

constexpr const char* kUsage =
    "usage: quillet-cli apply IN OUT OPERATION [NAME=VALUE ...] [--layer SLOT]\n"
    "       quillet-cli apply --list\n";

std::vector<ApplyOperation> makeRegistry() {
    std::vector<ApplyOperation> r;
    AddGeometryOperations(r);
    return r;
}

int usage(std::ostream& err, const std::string& why = {}) {
    if (!why.empty()) err << "quillet-cli apply: " << why << '\n';
    err << kUsage;
    return 2;
}

bool parseInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// "name=low..high (default)", "name=a|b|c (a)".
std::string describe(const ApplyParameter& p) {
    std::string s(p.name);
    s += '=';
    if (!p.choices.empty()) {
        for (size_t i = 0; i < p.choices.size(); ++i) {
            if (i) s += '|';
            s += p.choices[i];
        }
        if (!p.required) s += " (" + std::string(p.choices[size_t(p.defaultValue)]) + ")";
    } else {
        s += std::to_string(p.low) + ".." + std::to_string(p.high);
        if (!p.required) s += " (" + std::to_string(p.defaultValue) + ")";
    }
    return s;
}

int list(std::ostream& out) {
    for (const ApplyOperation& op : ApplyOperations()) {
        out << op.name;
        for (const ApplyParameter& p : op.parameters) out << ' ' << describe(p);
        if (op.acceptsLayer) out << " [--layer SLOT]";
        out << "\n    " << op.summary << '\n';
    }
    return 0;
}

const ApplyOperation* find(std::string_view name) {
    for (const ApplyOperation& op : ApplyOperations())
        if (op.name == name) return &op;
    return nullptr;
}

// One NAME=VALUE into its slot of `values`; false with the reason when it does not fit.
bool takeValue(const ApplyOperation& op, std::string_view arg, std::vector<int>& values,
               std::vector<bool>& given, std::string& why) {
    const size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq),
                           text = eq == arg.npos ? "" : arg.substr(eq + 1);
    for (size_t i = 0; i < op.parameters.size(); ++i) {
        const ApplyParameter& p = op.parameters[i];
        if (p.name != name) continue;
        int v = 0;
        bool ok = false;
        if (!p.choices.empty()) {
            for (size_t c = 0; c < p.choices.size() && !ok; ++c)
                if (p.choices[c] == text) v = int(c), ok = true;
        } else {
            ok = parseInt(text, v) && v >= p.low && v <= p.high;
        }
        if (!ok) {
            why = "bad value for " + describe(p) + ": " + std::string(arg);
            return false;
        }
        values[i] = v;
        given[i] = true;
        return true;
    }
    why = std::string(op.name) + " has no parameter " + std::string(arg);
    return false;
}

}  // namespace

const std::vector<ApplyOperation>& ApplyOperations() {
    static const std::vector<ApplyOperation> registry = makeRegistry();
    return registry;
}

int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[1] == "--list") return list(out);
    if (args.size() < 4) return usage(err);
    const std::string& in = args[1];
    const std::string& outPath = args[2];
    const ApplyOperation* op = find(args[3]);
    if (!op) return usage(err, "unknown operation " + args[3]);

    std::vector<int> values(op->parameters.size());
    std::vector<bool> given(op->parameters.size(), false);
    for (size_t i = 0; i < op->parameters.size(); ++i) values[i] = op->parameters[i].defaultValue;
    int layer = -1;
    for (size_t i = 4; i < args.size(); ++i) {
        std::string why;
        if (args[i] == "--layer") {
            if (!op->acceptsLayer) return usage(err, std::string(op->name) + " takes no --layer");
            if (i + 1 >= args.size() || !parseInt(args[i + 1], layer) || layer < 0 ||
                layer >= kLayerSlots)
                return usage(err, "--layer takes a slot 0..39");
            ++i;
        } else if (!takeValue(*op, args[i], values, given, why)) {
            return usage(err, why);
        }
    }
    for (size_t i = 0; i < op->parameters.size(); ++i)
        if (op->parameters[i].required && !given[i])
            return usage(err, std::string(op->name) + " needs " + describe(op->parameters[i]));

    StderrUserPort user(err);
    CBrevDoc doc(user);
    if (Status opened = OpenDocument(doc, in); !opened) {
        err << in << ": " << opened.message() << " (" << StatusCodeName(opened.code()) << ")\n";
        return 1;
    }
    if (layer >= 0) {
        // The layer commands act on the current layer: the slot named becomes it.
        if (!doc.Layers().InList(layer)) {
            err << in << ": no layer in slot " << layer << '\n';
            return 1;
        }
        doc.SetCurrentLayerIndex(layer);
    }
    if (!op->run(ApplyContext{doc, values, layer})) {
        err << in << ": " << op->name << " was not applied\n";
        return 1;
    }
    if (Status saved = SaveDocument(doc, outPath); !saved) {
        err << outPath << ": " << saved.message() << " (" << StatusCodeName(saved.code()) << ")\n";
        return 1;
    }
    return 0;
}

}  // namespace quillet::cli
