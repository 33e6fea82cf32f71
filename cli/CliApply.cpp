#include "cli/CliApply.h"

#include <charconv>
#include <cstdio>
#include <ostream>

#include "cli/CliCommands.h"
#include "cli/CliFiles.h"
#include "cli/StderrUserPort.h"
#include "cli/apply/ApplyOperation.h"
#include "document/CBrevDoc.h"
#include "document/DocumentFiles.h"
#include "document/EditCycle.h"
#include "image/RaViru.h"
#include "view/tools/RectangleSelection.h"

namespace quillet::cli {

namespace {

bool ParseNumber(std::string_view text, int64_t& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && !text.empty();
}

// RRGGBB in hexadecimal, with or without a leading '#'.
bool ParseColour(std::string_view text, int64_t& value) {
    if (!text.empty() && text.front() == '#') text.remove_prefix(1);
    if (text.size() != 6) return false;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
    return ec == std::errc() && ptr == end;
}

// A value by number or, for parameters with choices, by name.
bool ParseValue(const ApplyParameter& p, std::string_view text, int64_t& value) {
    if (p.kind == ApplyValueKind::Colour) return ParseColour(text, value);
    for (size_t i = 0; i < p.choices.size(); ++i)
        if (p.choices[i] == text) {
            value = p.minimum + int64_t(i);
            return true;
        }
    return ParseNumber(text, value) && value >= p.minimum && value <= p.maximum;
}

std::string RangeText(const ApplyParameter& p) {
    std::string text = std::string(p.name) + '=';
    if (p.kind == ApplyValueKind::Text) {
        text += "TEXT";
    } else if (p.kind == ApplyValueKind::Colour) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%06X", unsigned(p.defaultValue) & 0xFFFFFFu);
        text += "RRGGBB";
        if (!p.required) text += std::string(" (default ") + hex + ')';
    } else if (p.choices.empty()) {
        text += std::to_string(p.minimum) + ".." + std::to_string(p.maximum);
        if (!p.required) text += " (default " + std::to_string(p.defaultValue) + ')';
    } else {
        for (size_t i = 0; i < p.choices.size(); ++i)
            text += (i ? "|" : "") + std::string(p.choices[i]);
        const size_t d = size_t(p.defaultValue - p.minimum);
        if (!p.required)
            text += " (default " + std::string(d < p.choices.size() ? p.choices[d] : "?") + ')';
    }
    if (p.required) text += " (required)";
    if (!p.help.empty()) text += ": " + std::string(p.help);
    return text;
}

void List(std::ostream& out) {
    for (const ApplyOperation* op : ApplyOperations()) {
        out << op->name << "  " << op->summary << '\n';
        for (const ApplyParameter& p : op->parameters) out << "    " << RangeText(p) << '\n';
        if (op->details) out << op->details();
        if (op->target == ApplyTarget::Layers)
            out << "    --layer SLOT: that layer alone, as the layer commands do; no --select\n";
        if (op->target == ApplyTarget::Canvas) out << "    every layer; no --layer or --select\n";
    }
}

// "X,Y,W,H" with W and H at least 1.
bool ParseRectangle(std::string_view text, int64_t (&r)[4]) {
    for (int i = 0; i < 4; ++i) {
        const size_t comma = i < 3 ? text.find(',') : text.size();
        if (comma == std::string_view::npos || !ParseNumber(text.substr(0, comma), r[i]))
            return false;
        if (r[i] < INT32_MIN / 2 || r[i] > INT32_MAX / 2) return false;
        text.remove_prefix(std::min(text.size(), comma + 1));
    }
    return r[2] >= 1 && r[3] >= 1;
}

struct ApplyRequest {
    const ApplyOperation* op = nullptr;
    ApplyValues values;
    int slot = -1;
    uint64_t maxPixels = kDefaultMaxPixels;
    bool select = false;
    int64_t rect[4] = {};
};

// Reads OPERATION, NAME=VALUE and the options; a message and false when they are wrong.
bool ParseRequest(const std::vector<std::string>& args, ApplyRequest& r, std::ostream& err) {
    r.op = FindApplyOperation(args[3]);
    if (!r.op) {
        err << "apply: unknown operation " << args[3] << " (quillet-cli apply --list)\n";
        return false;
    }
    r.values.parameters = r.op->parameters;
    for (size_t i = 4; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--max-pixels") {
            int64_t pixels = 0;
            if (i + 1 >= args.size() || !ParseNumber(args[++i], pixels) || pixels < 1 ||
                uint64_t(pixels) > kMaxImagePixels)
                return false;
            r.maxPixels = uint64_t(pixels);
            continue;
        }
        if (a == "--layer" || a == "--select") {
            if (i + 1 >= args.size()) return false;
            if (r.op->target == ApplyTarget::Canvas ||
                (a == "--select" && r.op->target == ApplyTarget::Layers)) {
                err << "apply: " << r.op->name << " works on whole layers and takes no " << a
                    << '\n';
                return false;
            }
            const std::string& v = args[++i];
            int64_t slot = 0;
            if (a == "--layer" && (!ParseNumber(v, slot) || slot < 0 || slot > 39)) {
                err << "apply: --layer takes a slot 0..39\n";
                return false;
            }
            if (a == "--layer") r.slot = r.values.layer = int(slot);
            if (a == "--select" && !(r.select = ParseRectangle(v, r.rect))) {
                err << "apply: --select takes X,Y,W,H with W and H at least 1\n";
                return false;
            }
            continue;
        }
        const size_t eq = a.find('=');
        const std::string_view name = std::string_view(a).substr(0, eq);
        size_t k = 0;
        while (k < r.op->parameters.size() && r.op->parameters[k].name != name) ++k;
        if (eq == std::string::npos || k == r.op->parameters.size()) {
            err << "apply: " << r.op->name << " has no parameter " << name << '\n';
            return false;
        }
        const ApplyParameter& p = r.op->parameters[k];
        if (p.kind == ApplyValueKind::Text) {
            r.values.text[k] = a.substr(eq + 1);
        } else if (!ParseValue(p, std::string_view(a).substr(eq + 1), r.values.value[k])) {
            err << "apply: " << RangeText(p) << '\n';
            return false;
        }
        r.values.given[k] = true;
    }
    for (size_t k = 0; k < r.op->parameters.size(); ++k)
        if (r.op->parameters[k].required && !r.values.given[k]) {
            err << "apply: " << r.op->name << " needs " << RangeText(r.op->parameters[k]) << '\n';
            return false;
        }
    if (r.op->check) {
        if (const std::string problem = r.op->check(r.values); !problem.empty()) {
            err << "apply: " << r.op->name << ": " << problem << '\n';
            return false;
        }
    }
    return true;
}

}  // namespace

int RunApply(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 2 && args[1] == "--list") {
        List(out);
        return 0;
    }
    if (args.size() < 4) return 2;
    ApplyRequest request;
    if (!ParseRequest(args, request, err)) return 2;

    StderrUserPort user(err);
    CBrevDoc doc(user);
    if (!OpenForCli(doc, args[1], request.maxPixels, err)) return 1;
    if (request.slot >= 0) {
        if (!doc.Layers().InList(request.slot)) {
            err << "apply: " << args[1] << " has no layer in slot " << request.slot << '\n';
            return 2;
        }
        if (!doc.SelectLayer(request.slot)) return 1;
        request.values.layer = request.slot;
    }
    if (request.select) {
        // The rectangle is given on the canvas; the rule takes current-layer coordinates.
        const Layer& l = doc.Layers().layer(doc.CurrentLayer());
        const int64_t left = request.rect[0] - l.x, top = request.rect[1] - l.y;
        SelectRectangle(doc, int(left), int(top), int(left + request.rect[2] - 1),
                        int(top + request.rect[3] - 1));
    }
    if (request.op->run(doc, request.values) == EditOutcome::Refused) {
        err << "apply: " << request.op->name << " was refused for " << args[1] << '\n';
        return 1;
    }
    return SaveForCli(doc, args[2], err) ? 0 : 1;
}

}  // namespace quillet::cli
