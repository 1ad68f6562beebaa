// libFuzzer entry: the first byte picks a parser, the rest is its input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "halvane/fonts/cmap.h"
#include "halvane/fonts/font_programs.h"
#include "halvane/fonts/glyph_names.h"

using namespace halvane::fonts;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 5) {
    case 0: {
      auto cmap = CMap::Parse(input);
      const uint8_t* p = data + 1;
      size_t n = size - 1;
      std::u16string text;
      while (n > 0) {
        uint32_t code, cid;
        size_t used = cmap->NextCode(p, n, &code);
        if (used == 0 || used > n) __builtin_trap();
        cmap->LookupCid(code, &cid);
        cmap->LookupUnicode(code, &text);
        p += used;
        n -= used;
      }
      break;
    }
    case 1: {
      BuiltInEncoding encoding;
      ParseType1Encoding(input, &encoding);
      break;
    }
    case 2: {
      CffFont font;
      ParseCff(input, &font);
      break;
    }
    case 3: {
      TrueTypeFont font;
      if (ParseTrueType(input, &font)) {
        for (const TrueTypeCmap& c : font.cmaps) {
          c.Lookup(0x41);
          c.GlyphCodes(font.glyphCount);
        }
      }
      break;
    }
    case 4: {
      std::u16string text;
      GlyphNameToUnicode(input, &text);
      DingbatsGlyphNameToUnicode(input, &text);
      break;
    }
  }
  return 0;
}
