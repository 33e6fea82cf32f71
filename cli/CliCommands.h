#pragma once
// quillet-cli's commands, callable from tests with their own streams.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace quillet::cli {

// Pictures with more pixels than this are refused before they are decoded (--max-pixels changes
// it for info and convert): a small file may claim a huge picture.
constexpr uint64_t kDefaultMaxPixels = 100'000'000;

// Exit codes: 0 done, 1 the file could not be read or written, 2 wrong arguments.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// quillet-cli movie OUT.avi --size WxH [--join J] [--seconds S] [--sound FILE] PICTURE...;
// -1 for wrong arguments.
int Movie(const std::vector<std::string>& args, std::ostream& err);
// quillet-cli layers FILE: one line per layer, bottom first, fields separated by tabs: slot,
// name, kind, x, y, width, height, visible, transparency, blend mode.
int Layers(const std::string& path, std::ostream& out, std::ostream& err);
// quillet-cli recover FOLDER OUTDIR: every document the journal folder can give back, written
// as VLR files (their paths on `out`); 2 for wrong arguments.
int Recover(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace quillet::cli
