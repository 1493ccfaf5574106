// Writes the hostile histories as plain stroke layouts into a folder, as seeds of the fuzz
// targets that render and replay what a file holds:
//   write_hostile_seeds tests/data/fuzz/fuzz_render_sheet
#include <cstdio>
#include <fstream>
#include <string>

#include "files/stroke_layout.h"
#include "tests/support/hostile_documents.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: write_hostile_seeds FOLDER\n");
    return 2;
  }
  for (auto& [name, doc] : zevo::test::HostileDocuments()) {
    doc->EntryAt(doc->Count() - 1, true);
    const std::vector<std::uint8_t> plain = zevo::files::BuildStrokeLayout(*doc, 1);
    std::ofstream out(std::string(argv[1]) + "/hostile_" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(plain.data()), std::streamsize(plain.size()));
    if (!out) return 1;
  }
  return 0;
}
