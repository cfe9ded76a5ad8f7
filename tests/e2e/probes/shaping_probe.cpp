// Shapes and draws every verse of a verse file as the saver lays it out, with the
// system's Uniscribe and the font that "Traditional Arabic" stands for, to show
// that a font (under Wine: the font the prefix puts in its place) takes the whole
// file without a failure or a crash.
//
//   velun-shaping-probe FILE [--rtl-level] [--unbroken] [--points N] [--width PIXELS] [--dpi N]
//   Each verse's display text is broken into lines by the core's WrapVerseText with
//   the saver's width limit (the screen less 2000 twips), measured by the front end's
//   own TextWidthPixels, and each line is shaped and drawn by its ShapedLine into a
//   bitmap, exactly as velun.scr does. Defaults: 30 points, a 1280-pixel screen,
//   96 DPI.
//     --rtl-level  shape with the same ScriptStringAnalyse flags and a right-to-left
//                  paragraph level (a SCRIPT_STATE with uBidiLevel = 1) instead
//     --unbroken   skip the layout: shape the verse line and the reference line as
//                  they stand. Every word and every pair of neighbours is still
//                  shaped, in seconds instead of minutes.
//
// Prints the font in effect (the family named in the font's own name table, which a
// font replacement does not hide), its line height at a 40-pixel em, the characters
// of the file it has no glyph for, progress, and at the end
//   shaped V verses in L lines: F failed, B blank, widest W px, S s
// Exit status: 0 every line shaped and drew ink; 1 usage or file error; 2 lines
// failed or drew nothing; 3 the heap was found corrupted (checked after every
// verse); 4 a crash (the verse it came on is printed).
#include <windows.h>
#include <usp10.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/gdi_font.h"
#include "platform/win32/text_shaping.h"
#include "platform/win32/unicode_text.h"
#include "saver/verse_layout.h"
#include "startup/failure.h"
#include "verses/text_encoding.h"
#include "verses/verse_file_reader.h"
#include "verses/verse_source.h"

namespace {

using velun::win32::ShapedLine;
using velun::win32::SplitLines;

enum class Mode { Saver, RightToLeftLevel };

// What the crash filter prints: set before each verse.
volatile LONG currentChapter = 0;
volatile LONG currentVerse = 0;
volatile LONG versesDone = 0;

void WriteOut(const char* text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, static_cast<DWORD>(std::strlen(text)), &written,
            nullptr);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* pointers) {
  // No heap here: it may be the thing that broke.
  char text[200];
  wsprintfA(text, "CRASH: exception 0x%08lX on chapter %ld verse %ld (%ld verses done)\r\n",
            pointers->ExceptionRecord->ExceptionCode, currentChapter, currentVerse, versesDone);
  WriteOut(text);
  ExitProcess(4);
}

// One line shaped with a right-to-left paragraph level.
class RightToLeftLine {
 public:
  RightToLeftLine(HDC dc, const std::wstring& line) {
    if (line.empty()) return;
    SCRIPT_STATE state{};
    state.uBidiLevel = 1;
    const int length = static_cast<int>(line.size());
    if (FAILED(ScriptStringAnalyse(dc, line.c_str(), length, length * 3 / 2 + 16, -1,
                                   SSA_GLYPHS | SSA_FALLBACK | SSA_RTL, 0, nullptr, &state,
                                   nullptr, nullptr, nullptr, &analysis_)))
      analysis_ = nullptr;
  }
  RightToLeftLine(const RightToLeftLine&) = delete;
  RightToLeftLine& operator=(const RightToLeftLine&) = delete;
  ~RightToLeftLine() {
    if (analysis_ != nullptr) ScriptStringFree(&analysis_);
  }
  int Width() const {
    if (analysis_ == nullptr) return 0;
    const SIZE* size = ScriptString_pSize(analysis_);
    return size != nullptr ? static_cast<int>(size->cx) : 0;
  }
  void Draw(int x, int y) const {
    if (analysis_ != nullptr) ScriptStringOut(analysis_, x, y, 0, nullptr, 0, 0, FALSE);
  }

 private:
  SCRIPT_STRING_ANALYSIS analysis_ = nullptr;
};

int WidestLine(Mode mode, HDC dc, const std::wstring& text) {
  if (mode == Mode::Saver) return velun::win32::TextWidthPixels(dc, SplitLines(text));
  int widest = 0;
  for (const std::wstring& line : SplitLines(text))
    widest = std::max(widest, RightToLeftLine(dc, line).Width());
  return widest;
}

// Shapes one line of a caption and draws it; its width, 0 when shaping failed.
int ShapeAndDraw(Mode mode, HDC dc, const std::wstring& line, int x, int y) {
  if (mode == Mode::Saver) {
    ShapedLine shaped(dc, line);
    shaped.Draw(x, y);
    return shaped.Width();
  }
  RightToLeftLine shaped(dc, line);
  shaped.Draw(x, y);
  return shaped.Width();
}

std::uint16_t BigEndian16(const std::vector<BYTE>& data, std::size_t at) {
  return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
}

// The family name (name 1, Windows platform) in the name table of the font selected
// into dc: the font really drawn with, whatever face the program asked for.
std::wstring RealFamilyName(HDC dc) {
  const DWORD nameTag = 'n' | 'a' << 8 | 'm' << 16 | 'e' << 24;
  const DWORD size = GetFontData(dc, nameTag, 0, nullptr, 0);
  if (size == GDI_ERROR || size < 6) return L"?";
  std::vector<BYTE> data(size);
  if (GetFontData(dc, nameTag, 0, data.data(), size) != size) return L"?";
  const std::size_t count = BigEndian16(data, 2), strings = BigEndian16(data, 4);
  std::wstring found;
  for (std::size_t i = 0; i < count && 6 + i * 12 + 12 <= data.size(); ++i) {
    const std::size_t record = 6 + i * 12;
    if (BigEndian16(data, record) != 3 || BigEndian16(data, record + 6) != 1) continue;
    const std::size_t length = BigEndian16(data, record + 8);
    const std::size_t offset = strings + BigEndian16(data, record + 10);
    if (offset + length > data.size()) continue;
    std::wstring name;
    for (std::size_t j = 0; j + 1 < length; j += 2)
      name += static_cast<wchar_t>(BigEndian16(data, offset + j));
    found = name;
    if (BigEndian16(data, record + 4) == 0x409) break;  // English (United States)
  }
  return found.empty() ? L"?" : found;
}

void PrintFontAt40Pixels(HDC dc) {
  velun::win32::FontRequest request;
  request.face = L"Traditional Arabic";
  request.points = 30.0f;  // 40 pixels at 96 DPI
  request.charset = 178;
  velun::win32::GdiFont font(request, 96);
  HGDIOBJ old = SelectObject(dc, font.Handle());
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  const std::string family = velun::win32::WideToUtf8(RealFamilyName(dc));
  SelectObject(dc, old);
  const long lineHeight = metrics.tmHeight + metrics.tmExternalLeading;
  std::printf("font: %s\n", family.c_str());
  std::printf("at a 40-px em: tmHeight %ld (ascent %ld, descent %ld), external leading %ld, "
              "line height %ld = %.2f em\n",
              metrics.tmHeight, metrics.tmAscent, metrics.tmDescent, metrics.tmExternalLeading,
              lineHeight, lineHeight / 40.0);
}

void PrintMissingGlyphs(HDC dc, const std::set<wchar_t>& characters) {
  std::wstring all(characters.begin(), characters.end());
  std::vector<WORD> glyphs(all.size());
  GetGlyphIndicesW(dc, all.c_str(), static_cast<int>(all.size()), glyphs.data(),
                   GGI_MARK_NONEXISTING_GLYPHS);
  std::string missing;
  int count = 0;
  for (std::size_t i = 0; i < all.size(); ++i) {
    if (glyphs[i] != 0xFFFF) continue;
    ++count;
    char code[16];
    std::snprintf(code, sizeof code, " U+%04X", static_cast<unsigned>(all[i]));
    missing += code;
  }
  std::printf("characters of the file: %zu, without a glyph in the font: %d%s\n", all.size(),
              count, missing.c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(OnCrash);
  Mode mode = Mode::Saver;
  bool unbroken = false;
  float points = 30.0f;
  int screenWidth = 1280, dpi = 96;
  std::string path;
  bool usable = true;
  for (int i = 1; i < argc && usable; ++i) {
    const std::wstring argument = argv[i];
    const bool hasValue = i + 1 < argc;
    if (argument == L"--rtl-level") {
      mode = Mode::RightToLeftLevel;
    } else if (argument == L"--unbroken") {
      unbroken = true;
    } else if (argument == L"--points" && hasValue) {
      points = static_cast<float>(_wtof(argv[++i]));
    } else if (argument == L"--width" && hasValue) {
      screenWidth = _wtoi(argv[++i]);
    } else if (argument == L"--dpi" && hasValue) {
      dpi = _wtoi(argv[++i]);
    } else if (path.empty() && !argument.starts_with(L"--")) {
      path = velun::win32::WideToUtf8(argument);
    } else {
      usable = false;
    }
  }
  if (!usable || path.empty() || points <= 0 || screenWidth <= 0 || dpi <= 0) {
    std::fprintf(stderr, "usage: velun-shaping-probe FILE [--rtl-level] [--unbroken] "
                         "[--points N] [--width PIXELS] [--dpi N]\n");
    return 1;
  }

  HDC dc = CreateCompatibleDC(nullptr);
  PrintFontAt40Pixels(dc);

  velun::win32::FontRequest request;
  request.face = L"Traditional Arabic";
  request.points = points;
  request.charset = 178;  // Arabic, as the verse label asks
  velun::win32::GdiFont font(request, dpi);
  const int lineHeight = font.LineHeightPixels();

  // A white-on-black bitmap one screen wide and one line high to draw into.
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = screenWidth;
  info.bmiHeader.biHeight = -lineHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr) {
    std::fprintf(stderr, "no bitmap\n");
    return 1;
  }
  SelectObject(dc, bitmap);
  SelectObject(dc, font.Handle());
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, TRANSPARENT);
  auto* pixels = static_cast<std::uint32_t*>(bits);
  const std::size_t pixelCount = static_cast<std::size_t>(screenWidth) * lineHeight;

  const double twipsPerPixel = 1440.0 / dpi;
  const auto limit = static_cast<std::int32_t>(screenWidth * twipsPerPixel) - 2000;
  const velun::TextMeasure measure = [&](const std::string& text) {
    return static_cast<float>(WidestLine(mode, dc, velun::win32::Utf8ToWide(text)) *
                              twipsPerPixel);
  };

  std::printf("%s at %.1f points, %d DPI (line height %d px), %d-px screen, %s\n",
              unbroken ? "verse and reference lines unbroken" : "laid out", points, dpi,
              lineHeight, screenWidth,
              mode == Mode::Saver ? "shaped as velun.scr does" : "right-to-left paragraph level");
  std::fflush(stdout);

  const ULONGLONG started = GetTickCount64();
  LARGE_INTEGER frequency, t0, t1, t2, t3;
  QueryPerformanceFrequency(&frequency);
  double layoutSeconds = 0, drawSeconds = 0, heapSeconds = 0;
  std::set<wchar_t> characters;
  long verses = 0, lines = 0, failed = 0, blank = 0;
  std::size_t mostLines = 0;
  std::string tallestVerse;
  int widest = 0;
  try {
    velun::VerseFileReader reader(path);
    std::string chapterName;
    std::int16_t chapter = 0, verse = 0;
    for (;;) {
      std::string_view raw;
      try {
        raw = reader.ReadLine();
      } catch (const velun::Failure& failure) {
        if (failure.Number() == velun::failures::kInputPastEndOfFile) break;
        throw;
      }
      if (reader.LastLineIsHeading()) {
        const velun::ChapterHeading heading = velun::ParseChapterHeading(velun::LineToUtf8(raw));
        chapterName = heading.name;
        chapter = heading.number;
        // Chapters 1 and 9 have no opening line: their first line is verse 1.
        verse = (chapter == 1 || chapter == 9) ? 0 : -1;
        continue;
      }
      ++verse;
      currentChapter = chapter;
      currentVerse = verse;
      const std::string display =
          velun::BuildDisplayText(velun::LineToUtf8(raw), chapterName, verse, "\r\n");
      QueryPerformanceCounter(&t0);
      const std::string caption =
          unbroken ? display.substr(0, display.size() - 1)  // as the last piece, trimmed
                   : velun::WrapVerseText(display, limit, measure);
      QueryPerformanceCounter(&t1);
      const std::vector<std::wstring> captionLines = SplitLines(velun::win32::Utf8ToWide(caption));
      if (captionLines.size() > mostLines) {
        mostLines = captionLines.size();
        tallestVerse = std::to_string(chapter) + ":" + std::to_string(verse);
      }
      for (const std::wstring& line : captionLines) {
        characters.insert(line.begin(), line.end());
        std::fill(pixels, pixels + pixelCount, 0u);
        GdiFlush();
        const int width = ShapeAndDraw(mode, dc, line, 0, 0);
        GdiFlush();
        ++lines;
        widest = std::max(widest, width);
        if (line.empty()) continue;
        if (width <= 0) {
          ++failed;
          std::printf("FAILED to shape a line of chapter %d verse %d\n", chapter, verse);
          continue;
        }
        if (std::none_of(pixels, pixels + pixelCount, [](std::uint32_t p) { return (p & 0xFFFFFF) != 0; })) {
          ++blank;
          std::printf("BLANK: a line of chapter %d verse %d drew nothing\n", chapter, verse);
        }
      }
      ++verses;
      versesDone = verses;
      QueryPerformanceCounter(&t2);
      const bool heapSound = HeapValidate(GetProcessHeap(), 0, nullptr);
      QueryPerformanceCounter(&t3);
      layoutSeconds += double(t1.QuadPart - t0.QuadPart) / frequency.QuadPart;
      drawSeconds += double(t2.QuadPart - t1.QuadPart) / frequency.QuadPart;
      heapSeconds += double(t3.QuadPart - t2.QuadPart) / frequency.QuadPart;
      if (!heapSound) {
        std::printf("HEAP CORRUPTED after chapter %d verse %d (%ld verses done)\n", chapter, verse,
                    verses);
        return 3;
      }
      if (verses % 1000 == 0) {
        std::printf("%ld verses...\n", verses);
        std::fflush(stdout);
      }
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s: %s\n", path.c_str(), error.what());
    return 1;
  }
  PrintMissingGlyphs(dc, characters);
  std::printf("the tallest caption: chapter:verse %s, %zu lines, %zu px\n", tallestVerse.c_str(),
              mostLines, mostLines * lineHeight);
  std::printf("time: layout %.1f s, shaping and drawing %.1f s, heap checks %.1f s\n",
              layoutSeconds, drawSeconds, heapSeconds);
  std::printf("shaped %ld verses in %ld lines: %ld failed, %ld blank, widest %d px, %.1f s\n",
              verses, lines, failed, blank, widest, (GetTickCount64() - started) / 1000.0);
  return failed == 0 && blank == 0 ? 0 : 2;
}
