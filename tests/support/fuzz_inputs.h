#pragma once

// The inputs kept for each fuzz target in tests/data/fuzz/<target name>: the seeds it starts
// from and whatever it has found. The tests replay them through the same code as the target.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

namespace zevo::test {

struct FuzzInput {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

// The files of the target's folder in name order. A missing or empty folder fails the calling
// test (and gives no inputs): a replay over nothing would pass without checking anything.
inline std::vector<FuzzInput> FuzzInputs(const std::string& target) {
  const std::filesystem::path folder = std::filesystem::path(ZEVO_TEST_DATA_DIR) / "fuzz" / target;
  std::vector<FuzzInput> inputs;
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (!it->is_regular_file()) continue;
    std::ifstream file(it->path(), std::ios::binary);
    if (!file) {
      ADD_FAILURE() << "cannot open " << it->path();
      continue;
    }
    inputs.push_back({it->path().filename().string(),
                      {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()}});
  }
  if (error) {
    ADD_FAILURE() << "cannot list " << folder << ": " << error.message();
  } else if (inputs.empty()) {
    ADD_FAILURE() << folder << " holds no inputs";
  }
  std::sort(inputs.begin(), inputs.end(),
            [](const FuzzInput& a, const FuzzInput& b) { return a.name < b.name; });
  return inputs;
}

}  // namespace zevo::test
