#include "Inc/Prefs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <utility>

#include "Inc/PrefsFile.h"
#include "Inc/PrefsText.h"
#include "scratch_dir.h"
#include "unprivileged.h"

namespace {

namespace fs = std::filesystem;

// Opens bytes as a document, selects group, and gives the value of key (default "DEFAULT").
std::string ReadFrom(const ScratchDir& dir, const std::string& bytes, const std::string& group,
                     const std::string& key) {
  std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Write("p.ini", bytes));
  EXPECT_TRUE(document);
  document->SelectGroup(group);
  std::string value = document->ReadString(key, "DEFAULT");
  document->WriteBack();
  return value;
}

// Opens bytes, writes key=value into group, closes, and returns the rewritten file.
std::string Rewrite(const ScratchDir& dir, const std::string& bytes, const std::string& group,
                    const std::string& key, const std::string& value) {
  std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Write("p.ini", bytes));
  EXPECT_TRUE(document);
  document->SelectGroup(group);
  document->WriteString(key, value);
  document->WriteBack();
  return dir.Read("p.ini");
}

std::size_t FileCount(const ScratchDir& dir) {
  return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir.Dir()), fs::directory_iterator()));
}

TEST(Prefs, ReadsGroupsAndKeysWithoutRegardToCaseAndTrimsValues) {
  ScratchDir dir;
  const std::string file = "[data]\r\ns1=Error\r\nS2 =  Text  \r\n";
  EXPECT_EQ(ReadFrom(dir, file, "DATA", "S1"), "Error");
  EXPECT_EQ(ReadFrom(dir, file, "DATA", "s2"), "Text");
  EXPECT_EQ(ReadFrom(dir, file, "DATA", "s3"), "DEFAULT");
  EXPECT_EQ(ReadFrom(dir, file, "other", "s1"), "DEFAULT");
}

TEST(Prefs, ParsesLinesAsTheFormatDefines) {
  ScratchDir dir;
  for (const std::string eol : {"\r\n", "\n", "\r"}) {
    const std::string file = "Name" + eol + "x = 1" + eol;
    EXPECT_EQ(ReadFrom(dir, file, "", "Name"), "") << "line end " << eol.size();
    EXPECT_EQ(ReadFrom(dir, file, "", "x"), "1");
  }
  const std::string file =
      "top = t\n[G]\n\t k \t=\t a=b # c \n=empty key\n;k2 = commented\n[H ] junk\nk = h\n[I\nk = i\n"
      "[G]\nk = second G\n";
  EXPECT_EQ(ReadFrom(dir, file, "", "top"), "t");
  EXPECT_EQ(ReadFrom(dir, file, "g", "K"), "a=b # c");
  EXPECT_EQ(ReadFrom(dir, file, "G", ""), "empty key");
  EXPECT_EQ(ReadFrom(dir, file, "G", "k2"), "DEFAULT");
  EXPECT_EQ(ReadFrom(dir, file, "H ", "k"), "h");
  EXPECT_EQ(ReadFrom(dir, file, "H", "k"), "DEFAULT");
  EXPECT_EQ(ReadFrom(dir, file, "I", "k"), "i");
  EXPECT_EQ(ReadFrom(dir, "", "G", "k"), "DEFAULT");
}

TEST(Prefs, MissingGroupReadsDefaultsEvenAfterAnotherGroupWasSelected) {
  ScratchDir dir;
  std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Write("p.ini", "[A]\nk = a\n"));
  ASSERT_TRUE(document);
  EXPECT_TRUE(document->SelectGroup("A"));
  EXPECT_FALSE(document->SelectGroup("B"));
  EXPECT_EQ(document->ReadString("k", "none"), "none");
  EXPECT_TRUE(document->SelectGroup("a"));
  EXPECT_EQ(document->ReadString("k", "none"), "a");
  document->WriteBack();
}

TEST(Prefs, MissingOrUnusableFileIsNotOpened) {
  ScratchDir dir;
  EXPECT_FALSE(PrefsDocument::Open(dir.Path("missing.ini")));
  EXPECT_FALSE(fs::exists(dir.Path("missing.ini")));

  fs::create_directory(dir.Path("folder.ini"));
  EXPECT_FALSE(PrefsDocument::Open(dir.Path("folder.ini")));
  ASSERT_EQ(mkfifo(dir.Path("fifo.ini").c_str(), 0666), 0);
  EXPECT_FALSE(PrefsDocument::Open(dir.Path("fifo.ini")));  // must not wait for a writer
  EXPECT_FALSE(PrefsDocument::Create(dir.Path("folder.ini")));
  EXPECT_FALSE(PrefsDocument::Create(dir.Path("no/such/dir.ini")));
}

TEST(Prefs, RewriteNormalisesLinesAndKeepsUnknownContent) {
  ScratchDir dir;
  const std::string file =
      "\xEF\xBB"  // not a byte-order mark: two bytes only, so ANSI
      "x = 1\n\n;x\n;  two\n  [SET] trailing\n\tLogActions=0\n[Other]\nkey\n";
  EXPECT_EQ(Rewrite(dir, file, "set", "LOGACTIONS", "1"),
            "\xEF\xBBx = 1\r\n; x\r\n;  two\r\n[SET]\r\nLOGACTIONS = 1\r\n[Other]\r\nkey = \r\n");
}

TEST(Prefs, WritesReplaceInPlaceOrGoAfterTheLastLineOfTheirGroup) {
  ScratchDir dir;
  const std::string file = "[A]\r\na = 1\r\nb = 2\r\n; end of A\r\n[B]\r\nc = 3\r\n";
  EXPECT_EQ(Rewrite(dir, file, "A", "A", "9"),
            "[A]\r\nA = 9\r\nb = 2\r\n; end of A\r\n[B]\r\nc = 3\r\n");
  EXPECT_EQ(Rewrite(dir, file, "A", "new", ""),
            "[A]\r\na = 1\r\nb = 2\r\n; end of A\r\nnew = \r\n[B]\r\nc = 3\r\n");
  EXPECT_EQ(Rewrite(dir, file, "SET", "LogActions", "1"), file + "[SET]\r\nLogActions = 1\r\n");
  EXPECT_EQ(Rewrite(dir, file, "", "top", "t"), "top = t\r\n" + file);

  std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Write("p.ini", file));
  ASSERT_TRUE(document);
  document->SelectGroup("SET");
  document->WriteString("Language", "");
  document->WriteString("LogActions", "0");
  EXPECT_EQ(document->ReadString("language", "x"), "");
  document->WriteBack();
  EXPECT_EQ(dir.Read("p.ini"), file + "[SET]\r\nLanguage = \r\nLogActions = 0\r\n");
}

// A line break in a key or value would end its line and forge the next one
// (a language path ending in "\nLogActions = 0"): the write is refused.
TEST(Prefs, KeysAndValuesWithLineBreaksAreRefused) {
  ScratchDir dir;
  const std::string file = "[SET]\r\nLanguage = /l/de.ini\r\nLogActions = 1\r\n";
  for (const auto& [key, value] : std::vector<std::pair<std::string, std::string>>{
           {"Language", "/l/x\nLogActions = 0.ini"}, {"Language", "/l/x\r.ini"}, {"Lang\nuage", "/l/x.ini"}}) {
    std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Write("p.ini", file));
    ASSERT_TRUE(document);
    document->SelectGroup("SET");
    EXPECT_FALSE(document->WriteString(key, value));
    EXPECT_TRUE(document->WriteString("LogActions", "1"));
    document->WriteBack();
    EXPECT_EQ(dir.Read("p.ini"), file);
  }
}

// Two instances changing the same file in a loop, each its own key: a write
// made from a stale copy would take back the other's last change.
TEST(Prefs, TwoWritersInALoopLoseNoChangeOfEachOther) {
  ScratchDir dir;
  const std::string path = dir.Write("Config.ini", "[SET]\r\nLanguage = \r\n");
  constexpr int kRounds = 150;
  std::vector<pid_t> writers;
  for (const char* key : {"One", "Two"}) {
    const pid_t writer = fork();
    if (writer == 0) {
      for (int i = 0; i < kRounds; ++i) {
        std::optional<PrefsDocument> document = PrefsDocument::Open(path);
        if (!document) _exit(1);
        document->SelectGroup("SET");
        document->WriteString(key, std::to_string(std::stoi(document->ReadString(key, "0")) + 1));
        document->WriteBack();
      }
      _exit(0);
    }
    writers.push_back(writer);
  }
  for (const pid_t writer : writers) {
    int status = -1;
    waitpid(writer, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(ReadFrom(dir, dir.Read("Config.ini"), "SET", "One"), std::to_string(kRounds));
  EXPECT_EQ(ReadFrom(dir, dir.Read("Config.ini"), "SET", "Two"), std::to_string(kRounds));
  EXPECT_EQ(FileCount(dir), 2u) << "no temporary left behind";
}

TEST(Prefs, OnlyTheFirstOfTwoSameNamedGroupsIsUsed) {
  ScratchDir dir;
  const std::string file = "[A]\r\nk = 1\r\n[a]\r\nk = 2\r\nonly = 3\r\n";
  EXPECT_EQ(ReadFrom(dir, file, "A", "only"), "DEFAULT");
  EXPECT_EQ(Rewrite(dir, file, "a", "only", "4"), "[A]\r\nk = 1\r\nonly = 4\r\n[a]\r\nk = 2\r\nonly = 3\r\n");
}

TEST(Prefs, Utf8DocumentsKeepTheirTextAndMark) {
  ScratchDir dir;
  const std::string bom = "\xEF\xBB\xBF";
  const std::string russian = "\xD0\xA0\xD1\x83\xD1\x81\xD1\x81\xD0\xBA\xD0\xB8\xD0\xB9";
  const std::string file = bom + "[MFLPXL]\nName = " + russian + "\nLatin = Fran\xC3\xA7" "ais\n"
                           "Bad = a\xC3(\nSurrogate = \xED\xA0\x80\nOverlong = \xC0\xAF\nCut = ab\xE2\x82\n"
                           "Beyond = \xF5\x80\x80\x80\nOverlongThree = \xE0\x80\x80\nOverlongFour = \xF0\x80\x80\x80\n"
                           "First4 = \xF0\x90\x80\x80\nPlane3 = \xF0\xBF\xBF\xBF\nLast = \xF4\x8F\xBF\xBF\n"
                           "PastLast = \xF4\x90\x80\x80\nLast2 = \xDF\xBF\n"
                           "Hindi = \xE0\xA4\xB9\xE0\xA4\xBF\nThai = \xE0\xB9\x84\xE0\xB8\x97\xE0\xB8\xA2\n";
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Name"), russian);
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Latin"), "Fran\xC3\xA7" "ais");
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Bad"), "");
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Surrogate"), "");
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Overlong"), "");
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Cut"), "ab");
  EXPECT_EQ(ReadFrom(dir, file, "mflpxl", "Beyond"), "");  // no lead byte above F4
  for (const char* overlongOrTooHigh : {"OverlongThree", "OverlongFour", "PastLast"})
    EXPECT_EQ(ReadFrom(dir, file, "mflpxl", overlongOrTooHigh), "") << overlongOrTooHigh;
  for (const char* valid : {"First4", "Plane3", "Last", "Last2", "Hindi", "Thai"})
    EXPECT_NE(ReadFrom(dir, file, "mflpxl", valid), "") << valid;

  const std::string rewritten = Rewrite(dir, file, "MFLPXL", "Other", "\xC3\xA9t\xC3\xA9");
  EXPECT_EQ(rewritten.substr(0, 5), bom + "\r\n");
  EXPECT_NE(rewritten.find("\r\nName = " + russian + "\r\n"), std::string::npos);
  EXPECT_NE(rewritten.find("\r\nOther = \xC3\xA9t\xC3\xA9\r\n"), std::string::npos);
  EXPECT_EQ(ReadFrom(dir, rewritten, "MFLPXL", "Name"), russian);

  // Without the mark the same bytes pass through unchecked.
  EXPECT_EQ(ReadFrom(dir, "Bad = a\xC3(\n", "", "Bad"), "a\xC3(");
}

TEST(Prefs, UnmodifiedDocumentLeavesTheFileByteForByte) {
  ScratchDir dir;
  const std::string file = "\n ;x\n[a] b\n k= v \n\n";
  const std::string path = dir.Write("p.ini", file);
  ASSERT_EQ(chmod(path.c_str(), 0604), 0);
  const auto before = fs::last_write_time(path);
  for (const std::string group : {"A", "missing"}) {
    std::optional<PrefsDocument> document = PrefsDocument::Open(path);
    ASSERT_TRUE(document);
    document->SelectGroup(group);
    EXPECT_EQ(document->ReadString("k", ""), group == "A" ? "v" : "");
    document->WriteBack();
  }
  EXPECT_EQ(dir.Read("p.ini"), file);
  EXPECT_EQ(fs::last_write_time(path), before);
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0604));
}

TEST(Prefs, CreateReplacesTheFileWholeAtCloseWithOnlyWhatWasWritten) {
  ScratchDir dir;
  const std::string path = dir.Write("c.ini", "old content\n");
  std::optional<PrefsDocument> document = PrefsDocument::Create(path);
  ASSERT_TRUE(document);
  EXPECT_EQ(dir.Read("c.ini"), "old content\n") << "nothing is emptied before the new content is complete";
  EXPECT_FALSE(document->SelectGroup("SET"));
  document->WriteString("LogActions", "1");
  EXPECT_EQ(document->ReadString("LogActions", ""), "1");
  document->WriteBack();
  EXPECT_EQ(dir.Read("c.ini"), "[SET]\r\nLogActions = 1\r\n");

  std::optional<PrefsDocument> empty = PrefsDocument::Create(dir.Path("empty.ini"));
  ASSERT_TRUE(empty);
  empty->WriteBack();
  EXPECT_TRUE(fs::exists(dir.Path("empty.ini")));
  EXPECT_EQ(dir.Read("empty.ini"), "");
}

// A kill before the close, or a full disk, leaves no file at all: never an
// empty or partial one, and no temporary file.
TEST(Prefs, InterruptedCreateLeavesNoFile) {
  ScratchDir dir;
  const std::string path = dir.Path("c.ini");
  auto create = [&](bool killed) {
    return [&path, killed] {
      std::optional<PrefsDocument> document = PrefsDocument::Create(path);
      if (!document) return false;
      document->SelectGroup("MFLPX");
      document->WriteString("Volume", std::string(4096, '8'));
      if (killed) _exit(0);
      document->WriteBack();
      return true;
    };
  };
  EXPECT_TRUE(RunInChild(create(true), false));
  EXPECT_TRUE(RunInChild(create(false), false, 64));
  EXPECT_EQ(FileCount(dir), 0u);
}

TEST(Prefs, RewritesNeverChangeHowTheFileReads) {
  // The cases that once went wrong, then random mixes of the syntax's characters.
  std::vector<std::string> contents = {"\r\n\xEF\xBB\xBF[SET]\r\nLogActions = 0\r\n",
                                       " \t\xEF\xBB\xBFk = v\n", "\n\xEF\xBB\xBF\n[A]\n",
                                       "\xEF\xBB\xBF\xEF\xBB\xBFk=1\n", "=\n;\n[\n]\nk\n ; c\n"};
  const std::string alphabet = " \t\r\n=;[]aZ\xEF\xBB\xBF";
  std::mt19937 random(2026);
  for (int n = 0; n < 20000; ++n) {
    std::string content;
    const std::size_t length = random() % 24;
    if (random() % 4 == 0) content = "\xEF\xBB\xBF";
    for (std::size_t i = 0; i < length; ++i) content += alphabet[random() % alphabet.size()];
    contents.push_back(content);
  }
  auto same = [](const PrefsLine& a, const PrefsLine& b) {
    return a.kind == b.kind && a.name == b.name && a.value == b.value;
  };
  for (const std::string& content : contents) {
    const PrefsText first = ParsePrefsText(content);
    const std::string rewritten = FormatPrefsText(first.lines, first.utf8);
    const PrefsText second = ParsePrefsText(rewritten);
    ASSERT_EQ(second.utf8, first.utf8) << testing::PrintToString(content);
    ASSERT_TRUE(std::equal(first.lines.begin(), first.lines.end(), second.lines.begin(), second.lines.end(), same))
        << testing::PrintToString(content) << " became " << testing::PrintToString(rewritten);
  }
}

TEST(Prefs, LinesOfBlanksAreNoEntries) {
  ScratchDir dir;
  for (const std::string blank : {" ", "\t", " \t \t"}) {
    EXPECT_EQ(ReadFrom(dir, "[A]\n" + blank + "\nk = 1\n", "A", ""), "DEFAULT") << "no entry with an empty key";
    EXPECT_EQ(Rewrite(dir, blank + "\r\n[A]\r\n", "A", "k", "1"), "[A]\r\nk = 1\r\n");
  }
}

TEST(Prefs, EveryLetterFoldsInGroupsAndKeys) {
  ScratchDir dir;
  EXPECT_EQ(ReadFrom(dir, "[Zoo]\nzAZ = 1\n", "zOO", "Zaz"), "1");
  EXPECT_EQ(ReadFrom(dir, "[A]\nk = 1\n", "A", "k\x01"), "DEFAULT");
  EXPECT_EQ(ReadFrom(dir, "[[]\n{ = 1\n", "{", "["), "DEFAULT") << "only letters fold";
}

TEST(Prefs, FilesOverTheLimitReadAsEmptyAndStayUntouched) {
  ScratchDir dir;
  std::string large = "[A]\nk = 1\n";
  large.resize(kMaxPrefsFileBytes, '\n');
  EXPECT_EQ(ReadFrom(dir, large, "A", "k"), "1") << "the limit itself is read";
  large += "\n";
  testing::internal::CaptureStderr();
  EXPECT_EQ(ReadFrom(dir, large, "A", "k"), "DEFAULT");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("p.ini is larger than"), std::string::npos)
      << "the user learns why the settings are gone";
  EXPECT_EQ(Rewrite(dir, large, "A", "k", "2"), large) << "a file not read whole is never rewritten";
}

// Sizes where a read returns a single byte, or where one read of the buffer ends.
TEST(Prefs, FilesOfEverySizeAroundAReadAreReadWhole) {
  ScratchDir dir;
  for (const std::size_t size : {1u, 2u, 65535u, 65536u, 65537u}) {
    std::string bytes(size, 'k');
    bytes.back() = '\n';
    const PrefsFileContent content = ReadPrefsFile(dir.Write("p.ini", bytes));
    EXPECT_TRUE(content.complete) << size;
    EXPECT_EQ(content.bytes, bytes) << size;
  }
}

// Under a memory limit a file that cannot be held reads as empty.
TEST(Prefs, AllocationFailureReadsAsEmpty) {
#ifdef __SANITIZE_ADDRESS__
  // AddressSanitizer maps terabytes of shadow memory, and under an address
  // space limit its allocator reports and hangs instead of failing the call.
  GTEST_SKIP() << "not meaningful under AddressSanitizer";
#endif
  ScratchDir dir;
  std::string lines;
  for (std::size_t i = 0; lines.size() + 2 <= kMaxPrefsFileBytes; ++i) lines += "k\n";
  const std::string path = dir.Write("p.ini", lines);
  EXPECT_TRUE(RunInChild(
      [&] {
        long pages = 0;
        if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
          if (std::fscanf(statm, "%ld", &pages) != 1) pages = 0;
          std::fclose(statm);
        }
        const rlim_t bytes = static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + (48 << 20);
        const rlimit limit{bytes, bytes};
        if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0) return false;
        std::optional<PrefsDocument> document = PrefsDocument::Open(path);
        if (!document) return false;
        const bool empty = document->ReadString("k", "D") == "D";
        document->WriteString("k", "1");
        document->WriteBack();
        return empty;
      },
      false));
  EXPECT_EQ(dir.Read("p.ini"), lines);
}

TEST(Prefs, RewriteReplacesTheFileWholeKeepingPermissionsAndLinks) {
  ScratchDir dir;
  const std::string path = dir.Write("real/p.ini", "[A]\nk = 1\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  // Root rewriting a user's file hands it back to that user.
  const bool root = geteuid() == 0;
  if (root) {
    ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
  }
  fs::create_symlink(path, dir.Path("link.ini"));
  std::optional<PrefsDocument> document = PrefsDocument::Open(dir.Path("link.ini"));
  ASSERT_TRUE(document);
  document->SelectGroup("A");
  document->WriteString("k", "2");
  document->WriteBack();
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.ini")));
  EXPECT_EQ(dir.Read("real/p.ini"), "[A]\r\nk = 2\r\n");
  EXPECT_EQ(fs::status(path).permissions(), static_cast<fs::perms>(0640));
  struct stat owner {};
  ASSERT_EQ(stat(path.c_str(), &owner), 0);
  EXPECT_EQ(owner.st_uid, root ? 65534u : geteuid());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path("real")), fs::directory_iterator()), 1);
}

TEST(Prefs, FailedRewriteLeavesTheOldFileWhole) {
  ScratchDir dir;
  const std::string old = "[SET]\r\nLanguage = \r\nLogActions = 1\r\n";
  const std::string path = dir.Write("p.ini", old);
  ASSERT_TRUE(RunInChild(
      [&] {
        std::optional<PrefsDocument> document = PrefsDocument::Open(path);
        if (!document) return false;
        document->SelectGroup("SET");
        document->WriteString("Language", std::string(4096, 'x'));
        document->WriteBack();
        return true;
      },
      false, 64));
  EXPECT_EQ(dir.Read("p.ini"), old);
  EXPECT_EQ(FileCount(dir), 1u);
}

// Makes every read of descriptor lowest or above fail, as on a failing disk.
bool FailReadsFrom(int lowest) {
  sock_filter program[] = {
      {BPF_LD | BPF_W | BPF_ABS, 0, 0, offsetof(seccomp_data, nr)},
      {BPF_JMP | BPF_JEQ | BPF_K, 0, 3, __NR_read},
      {BPF_LD | BPF_W | BPF_ABS, 0, 0, offsetof(seccomp_data, args[0])},
      {BPF_JMP | BPF_JGE | BPF_K, 0, 1, static_cast<uint32_t>(lowest)},
      {BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ERRNO | EIO},
      {BPF_RET | BPF_K, 0, 0, SECCOMP_RET_ALLOW},
  };
  const sock_fprog filter{static_cast<unsigned short>(std::size(program)), program};
  return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 && prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) == 0;
}

// Written back, the part that was read would replace the whole file.
TEST(Prefs, FileThatCannotBeReadIsNeverWrittenBack) {
  const pid_t probe = fork();
  if (probe == 0) _exit(FailReadsFrom(1000) ? 0 : 1);
  int probed = -1;
  waitpid(probe, &probed, 0);
  if (!WIFEXITED(probed) || WEXITSTATUS(probed) != 0) GTEST_SKIP() << "this kernel refuses seccomp filters";
  ScratchDir dir;
  const std::string old = "[SET]\r\nLanguage = de.ini\r\nLogActions = 1\r\n";
  const std::string path = dir.Write("p.ini", old);
  EXPECT_TRUE(RunInChild(
      [&] {
        const int next = open("/dev/null", O_RDONLY);
        if (next < 0 || close(next) != 0 || !FailReadsFrom(next)) return false;
        std::optional<PrefsDocument> document = PrefsDocument::Open(path);
        if (!document) return false;
        const bool readAsEmpty = !document->SelectGroup("SET");
        document->WriteString("LogActions", "0");
        document->WriteBack();
        return readAsEmpty;
      },
      false));
  EXPECT_EQ(dir.Read("p.ini"), old);
  EXPECT_EQ(FileCount(dir), 1u);
}

// Root rewriting a user's file hands it back to that user and group, even
// when only one of them differs from root's.
TEST(Prefs, RootsRewriteKeepsTheFilesOwnerAndGroup) {
  if (geteuid() != 0) GTEST_SKIP() << "only root can give a file away";
  ScratchDir dir;
  const std::pair<uid_t, gid_t> owners[] = {{12345, 0}, {0, 12345}, {12345, 23456}};
  for (const auto& [user, group] : owners) {
    const std::string path = dir.Write("p.ini", "");
    ASSERT_EQ(chown(path.c_str(), user, group), 0);
    EXPECT_EQ(Rewrite(dir, "[A]\nk = 1\n", "A", "k", "2"), "[A]\r\nk = 2\r\n");
    struct stat owner {};
    ASSERT_EQ(stat(path.c_str(), &owner), 0);
    EXPECT_EQ(owner.st_uid, user);
    EXPECT_EQ(owner.st_gid, group) << "owner " << user;
  }
}

TEST(Prefs, ReadOnlyFileOrFolderKeepsTheFileUnchanged) {
  ScratchDir dir;
  ASSERT_EQ(chmod(dir.Dir().c_str(), 0777), 0);
  const std::string old = "[SET]\nLogActions = 1\n";
  const std::string readOnly = dir.Write("ro.ini", old);
  ASSERT_EQ(chmod(readOnly.c_str(), 0444), 0);
  const std::string inLockedFolder = dir.Write("locked/p.ini", old);
  ASSERT_EQ(chmod(inLockedFolder.c_str(), 0666), 0);
  ASSERT_EQ(chmod(dir.Path("locked").c_str(), 0555), 0);
  auto rewrite = [](const std::string& path) {
    return [path] {
      std::optional<PrefsDocument> document = PrefsDocument::Open(path);
      if (!document || !document->SelectGroup("SET") || document->ReadString("LogActions", "") != "1") return false;
      document->WriteString("LogActions", "0");
      document->WriteBack();
      return true;
    };
  };
  EXPECT_TRUE(RunInChild(rewrite(readOnly), true));
  EXPECT_TRUE(RunInChild(rewrite(inLockedFolder), true));
  EXPECT_EQ(dir.Read("ro.ini"), old);
  EXPECT_EQ(dir.Read("locked/p.ini"), old);
  EXPECT_EQ(FileCount(dir), 2u);
}

// Each document writes only its own changes to its own file, whatever the
// order; one dropped without write-back changes nothing.
TEST(Prefs, DocumentsOpenAtOnceEachWriteBackTheirOwnFile) {
  ScratchDir dir;
  std::optional<PrefsDocument> config = PrefsDocument::Open(dir.Write("Config.ini", "[SET]\r\nLogActions = 1\r\n"));
  std::optional<PrefsDocument> language = PrefsDocument::Open(dir.Write("de.ini", "[Data]\r\ns1 = Fehler\r\n"));
  std::optional<PrefsDocument> dropped = PrefsDocument::Open(dir.Write("x.ini", "[A]\r\n"));
  ASSERT_TRUE(config && language && dropped);
  config->SelectGroup("SET");
  language->SelectGroup("Data");
  dropped->SelectGroup("A");
  config->WriteString("LogActions", "0");
  language->WriteString("s2", language->ReadString("s1", ""));
  dropped->WriteString("k", "v");
  EXPECT_EQ(config->ReadString("s1", "none"), "none");
  language->WriteBack();
  config->WriteBack();
  dropped.reset();
  EXPECT_EQ(dir.Read("Config.ini"), "[SET]\r\nLogActions = 0\r\n");
  EXPECT_EQ(dir.Read("de.ini"), "[Data]\r\ns1 = Fehler\r\ns2 = Fehler\r\n");
  EXPECT_EQ(dir.Read("x.ini"), "[A]\r\n");

  // A second write-back adds only what was written since the first.
  dir.Write("de.ini", "[Data]\r\n");
  language->WriteBack();
  EXPECT_EQ(dir.Read("de.ini"), "[Data]\r\n");
}

}  // namespace
