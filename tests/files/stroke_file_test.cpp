#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/codec_binding.h"
#include "files/stroke_file.h"
#include "gfx/bmp_file.h"
#include "platform/library_loader.h"
#include "tests/files/layout_bytes.h"

namespace zevo::files {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;
using ink::StrokeDocument;

// The stroke file tests run against the real codec library of the program folder, loaded once.
// When it cannot be loaded each test stops there with the loader's reason.
class StrokeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    static auto loader = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
    static const Result<CodecBinding> codec = CodecBinding::Load(*loader);
    ASSERT_TRUE(codec.Ok()) << codec.ErrorText();
    codec_ = &codec.Value();
  }
  const CodecBinding& RealCodec() const { return *codec_; }

 private:
  const CodecBinding* codec_ = nullptr;
};

class TempFolder {
 public:
  TempFolder() {
    path_ = fs::temp_directory_path() /
            ("zevo-files-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
    fs::create_directories(path_);
  }
  ~TempFolder() { fs::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(path_)) names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  static inline int counter_ = 0;
  fs::path path_;
};

Bytes Load(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(f)), {});
}
void Save(const std::string& path, const Bytes& b) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
}

void Fill(StrokeDocument& d) {
  for (int s = 0; s < 5; ++s) {
    d.SetInkColor(std::uint32_t(0x10 * s));
    for (int i = 0; i < 20; ++i) {
      d.AddSample(100.25f + float(s * 30 + i), 200.5f + float(i) * 0.75f,
                  i == 19 ? 0.0f : 2.0f + float(i) / 7.0f);
    }
  }
  d.AddFill(0x00FF00, 5, 6);
  auto stamp = std::make_unique<gfx::Bitmap24>(9, 3, gfx::kWhite);
  stamp->SetPixel(4, 1, gfx::kBlack);
  d.AddStampEntry(std::move(stamp), 1, 2, 9, 3);
  const gfx::Bitmap24 paper(7, 5, gfx::Rgb(200, 100, 50));
  d.SetBackground(&paper, 1, 0);
}

TEST(CodecBinding, LoadsTheRealLibraryAndNamesWhatIsMissing) {
  auto real = platform::MakeSystemLibraryLoader(ZEVO_PROGRAM_DIR);
  EXPECT_TRUE(CodecBinding::Load(*real).Ok());

  TempFolder empty;
  auto nowhere = platform::MakeSystemLibraryLoader(empty.File(""));
  auto missing = CodecBinding::Load(*nowhere);
  ASSERT_FALSE(missing.Ok());
  EXPECT_EQ(missing.ErrorText(), "libZevoCodec.so not found.");

  // A library without every export is refused (and unloaded again).
  struct PartialLibrary : platform::Library {
    explicit PartialLibrary(bool* closed) : closed(closed) {}
    ~PartialLibrary() override { *closed = true; }
    void* Symbol(const char* name) const override {
      if (std::strcmp(name, "drav_encode") == 0) return nullptr;
      return reinterpret_cast<void*>(&drav_decode_stub);
    }
    static int32_t drav_decode_stub(const uint8_t*, int32_t, uint8_t*, int32_t*, const uint8_t*) {
      return 1;
    }
    bool* closed;
  };
  struct PartialLoader : platform::LibraryLoader {
    bool closed = false;
    std::string asked;
    Result<std::unique_ptr<platform::Library>> Open(const std::string& name) override {
      asked = name;
      return std::unique_ptr<platform::Library>(std::make_unique<PartialLibrary>(&closed));
    }
  } partial;
  auto incomplete = CodecBinding::Load(partial);
  ASSERT_FALSE(incomplete.Ok());
  EXPECT_EQ(incomplete.ErrorText(), "Get processes failed.");
  EXPECT_EQ(partial.asked, "libZevoCodec.so");
  EXPECT_TRUE(partial.closed);
}

TEST_F(StrokeFile, WritesEncodedFilesThatReadBack) {
  TempFolder folder;
  const std::string path = folder.File("sheet.stk");
  StrokeDocument d(1024, 718);
  Fill(d);
  d.protection = 0xFFFFFFFDu;
  ASSERT_EQ(WriteStrokeFile(d, path, 2, "pass", "Mi Fu", RealCodec()), 0);
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"sheet.stk"});  // nothing else left behind
  const Bytes file = Load(path);
  ASSERT_GE(file.size(), 20u);
  EXPECT_EQ(std::memcmp(file.data(), "zvRD", 4), 0);
  // Nothing plain: neither the author nor the password appear in the file.
  const std::string text(file.begin(), file.end());
  EXPECT_EQ(text.find("Mi Fu"), std::string::npos);
  EXPECT_EQ(text.find("pass"), std::string::npos);
  EXPECT_EQ(std::string(d.signature.data(), 4), "Zvr3");
  EXPECT_EQ(std::string(d.author.data()), "Mi Fu");

  StrokeDocument back(1, 1);
  StrokeFileDetails details;
  ASSERT_EQ(ReadStrokeFile(back, path, &RealCodec(), &details), kReadOk);
  EXPECT_EQ(details.step, 2);
  EXPECT_EQ(std::string(back.signature.data(), 4), "Zvr3");
  EXPECT_EQ(std::string(back.author.data()), "Mi Fu");
  EXPECT_EQ(std::string(back.password.data()), "pass");
  EXPECT_EQ(back.protection, 0xFFFFFFFDu);
  ASSERT_EQ(back.Count(), 7);
  EXPECT_EQ(back.Position(), 7);
  // Step 2 keeps samples 0, 2, ..., 18 and 19 and puts one point back between each two.
  EXPECT_EQ(back.Entry(0)->samples.size(), 21u);
  EXPECT_EQ(back.Entry(0)->samples.front(), d.Entry(0)->samples.front());
  EXPECT_EQ(back.Entry(0)->samples[2], d.Entry(0)->samples[2]);
  EXPECT_EQ(back.Entry(0)->samples.back(), d.Entry(0)->samples.back());
  EXPECT_EQ(back.Entry(4)->value, 0x40u);
  ASSERT_NE(back.Background(), nullptr);
  EXPECT_EQ(back.Background()->Pixel(6, 4), gfx::Rgb(200, 100, 50));

  // Step 1 keeps every sample exactly; the quick save has neither author nor password.
  ASSERT_EQ(WriteStrokeFile(d, path, 1, std::nullopt, std::nullopt, RealCodec()), 0);
  EXPECT_EQ(d.author[0], 0);
  ASSERT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadOk);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(back.Entry(i)->samples, d.Entry(i)->samples);
  EXPECT_EQ(back.author[0], 0);
}

TEST_F(StrokeFile, DamagedOrUndecodableFilesAreRefused) {
  TempFolder folder;
  const std::string path = folder.File("a.stk");
  StrokeDocument d(1024, 718);
  Fill(d);
  ASSERT_EQ(WriteStrokeFile(d, path, 1, "p", "a", RealCodec()), 0);
  Bytes file = Load(path);
  StrokeDocument back(1, 1);
  for (std::size_t at : {std::size_t(5), std::size_t(40), file.size() / 2, file.size() - 1}) {
    Bytes altered = file;
    altered[at] ^= 0x01;
    Save(path, altered);
    EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadCannotDecode) << at;
    EXPECT_EQ(back.Count(), 0);
    EXPECT_EQ(back.Background(), nullptr);
  }
  Save(path, file);
  EXPECT_EQ(ReadStrokeFile(back, path, nullptr), kReadCannotDecode);
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadOk);

  Bytes fake(64, 0);
  std::memcpy(fake.data(), "zvRD", 4);
  Save(path, fake);
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadCannotDecode);
  EXPECT_EQ(std::string(back.signature.data(), 4), "zvRD");
  EXPECT_EQ(folder.Names(), std::vector<std::string>{"a.stk"});  // no working file

  // A decoded layout is held to the same checks as a plain file.
  testing::LayoutBytes plain = testing::Gen3Header(1, 0x00010004);
  plain.PatchSize(8);
  Bytes encoded;
  ASSERT_TRUE(RealCodec().Encode(plain.bytes, encoded));
  Save(path, encoded);
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadNewerMinor);
  ASSERT_TRUE(RealCodec().Encode(Bytes{'Z', 'v', 'r', 'n', 1, 2}, encoded));
  Save(path, encoded);
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadUnknown);
  plain = testing::Gen3Header();
  plain.U32(3).U32(0).F32(1).F32(1);
  plain.PatchSize(8, -1);
  ASSERT_TRUE(RealCodec().Encode(plain.bytes, encoded));
  Save(path, encoded);
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadSizeMismatch);

  EXPECT_EQ(ReadStrokeFile(back, folder.File("missing.stk"), &RealCodec()), kReadCannotOpen);
  EXPECT_EQ(ReadStrokeFile(back, folder.File(""), &RealCodec()), kReadCannotOpen);
  Save(path, Bytes(19, 'Z'));
  EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadUnknown);
}

TEST_F(StrokeFile, FilesOverTheMemoryBudgetAreRefusedAsTooLarge) {
  TempFolder folder;
  const std::string path = folder.File("big.stk");
  StrokeDocument back(1, 1);
  // Larger than the whole budget on disk: refused unread (the file is sparse), its signature
  // still told.
  for (const char* magic : {"Zvr3", "zvRD"}) {
    Save(path, Bytes(magic, magic + 4));
    fs::resize_file(path, kMaxDocumentBytes + 1);
    EXPECT_EQ(ReadStrokeFile(back, path, &RealCodec()), kReadTooLarge) << magic;
    EXPECT_EQ(std::string(back.signature.data(), 4), magic);
  }

  // An encoded file is refused from the plain size it declares, before it is decompressed.
  testing::LayoutBytes plain = testing::Gen3Header();
  plain.U32(3).U32(0).F32(1).F32(1).PatchSize(8);
  Bytes encoded, decoded;
  ASSERT_TRUE(RealCodec().Encode(plain.bytes, encoded));
  EXPECT_EQ(RealCodec().Decode(encoded, decoded, plain.bytes.size() - 1),
            CodecBinding::Decoded::kTooLarge);
  EXPECT_TRUE(decoded.empty());
  ASSERT_EQ(RealCodec().Decode(encoded, decoded, plain.bytes.size()), CodecBinding::Decoded::kOk);
  EXPECT_EQ(decoded, plain.bytes);
}

TEST_F(StrokeFile, AFailedWriteLeavesTheOldFileUntouched) {
  TempFolder folder;
  const std::string path = folder.File("keep.stk");
  const Bytes old = {'o', 'l', 'd', ' ', 'f', 'i', 'l', 'e'};
  Save(path, old);
  StrokeDocument d(1024, 718);
  Fill(d);

  // The codec fails at its second call.
  static int calls = 0;
  calls = 0;
  CodecFunctions failing;
  failing.encode_ex = [](int32_t, const uint8_t*, int32_t n, uint8_t*, int32_t* length,
                         const uint8_t*) -> int32_t {
    *length = n + 100;
    return ++calls == 2 ? 3 : 0;
  };
  const CodecBinding broken(failing);
  EXPECT_EQ(WriteStrokeFile(d, path, 1, std::nullopt, std::nullopt, broken), 1);
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Load(path), old);

  // Steps the format cannot hold.
  for (int s : {0, 5, -1}) EXPECT_EQ(WriteStrokeFile(d, path, s, "", "", RealCodec()), 1);
  EXPECT_EQ(Load(path), old);

  // A folder that does not exist; a target that is a folder.
  EXPECT_EQ(WriteStrokeFile(d, folder.File("no/such/folder.stk"), 1, "", "", RealCodec()), 1);
  fs::create_directory(folder.File("dir.stk"));
  EXPECT_EQ(WriteStrokeFile(d, folder.File("dir.stk"), 1, "", "", RealCodec()), 1);
  EXPECT_TRUE(fs::is_directory(folder.File("dir.stk")));
  EXPECT_EQ(folder.Names(), (std::vector<std::string>{"dir.stk", "keep.stk"}));
  EXPECT_EQ(Load(path), old);

  // The plain writer works the same way, and its output is the layout itself.
  ASSERT_EQ(WritePlainStrokeFile(d, path, 1, "", ""), 0);
  const Bytes plain = Load(path);
  EXPECT_EQ(plain, BuildStrokeLayout(d, 1));
  StrokeDocument back(1, 1);
  EXPECT_EQ(ReadStrokeFile(back, path, nullptr), kReadOk);
  EXPECT_EQ(back.Count(), 7);
}

}  // namespace
}  // namespace zevo::files
