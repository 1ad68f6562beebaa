// A small fax encoder for tests: turns pictures drawn with '#' (black) and '.' (white) into Group 3
// and Group 4 code streams (ITU-T T.4, T.6), so decoding can be checked against known pictures.
#ifndef HALVANE_TESTS_FAX_ENCODER_H
#define HALVANE_TESTS_FAX_ENCODER_H

#include <set>
#include <string>
#include <vector>

#include "halvane/filters/ccitt_codes.h"

namespace halvane::testing {

using Picture = std::vector<std::string>;

struct FaxCoding {
    int k = -1;  // as the K parameter: <0 Group 4, 0 one-dimensional, >0 mixed
    bool endOfLine = false;
    bool byteAlign = false;  // pad before each row, or before its end-of-line code
    bool endOfBlock = true;  // return-to-control / end-of-facsimile-block at the end
    std::set<size_t> damagedRows;  // rows whose codes are replaced by an invalid one
};

// Packs bit strings such as "0111 10 1000" (spaces ignored) into bytes, zero padded.
class FaxBits {
public:
    void Put(const std::string& bits)
    {
        for (char c : bits) {
            if (c != '0' && c != '1')
                continue;
            if (used_ % 8 == 0)
                bytes_.push_back('\0');
            if (c == '1')
                bytes_.back() = static_cast<char>(bytes_.back() | (0x80 >> (used_ % 8)));
            ++used_;
        }
    }
    void PadTo(size_t multiple, size_t before = 0)
    {
        while ((used_ + before) % multiple)
            Put("0");
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
    size_t used_ = 0;
};

inline std::string Bits(const std::string& bits)
{
    FaxBits w;
    w.Put(bits);
    return w.Bytes();
}

// The picture as the decoder's output: 1-bit rows padded to whole bytes with white.
inline std::string PackedRows(const Picture& picture, bool blackIs1 = false)
{
    std::string out;
    for (const std::string& row : picture) {
        std::string bytes((row.size() + 7) / 8, blackIs1 ? '\0' : '\xFF');
        for (size_t x = 0; x < row.size(); ++x)
            if (row[x] == '#')
                bytes[x / 8] = static_cast<char>(bytes[x / 8] ^ (0x80 >> (x % 8)));
        out += bytes;
    }
    return out;
}

class FaxEncoder {
public:
    static std::string Encode(const Picture& picture, const FaxCoding& coding)
    {
        FaxEncoder e(coding);
        std::vector<int> reference;
        for (size_t i = 0; i < picture.size(); ++i) {
            const int columns = static_cast<int>(picture[i].size());
            const std::vector<int> changes = Changes(picture[i]);
            const bool oneDimensional = coding.k == 0 || (coding.k > 0 && i % static_cast<size_t>(coding.k) == 0);
            if (coding.k < 0) {
                if (coding.byteAlign)
                    e.bits_.PadTo(8);
            } else {
                e.StartRow(oneDimensional);
            }
            if (coding.damagedRows.count(i))
                e.bits_.Put("000000001");  // no run or mode code starts with eight 0 bits
            else if (oneDimensional)
                e.Row1D(changes, columns);
            else
                e.Row2D(changes, reference, columns);
            reference = changes;
        }
        if (coding.endOfBlock) {
            const int count = coding.k < 0 ? 2 : 6;
            for (int i = 0; i < count; ++i)
                e.bits_.Put(std::string(kCcittEndOfLine) + (coding.k > 0 ? "1" : ""));
        }
        return e.bits_.Bytes();
    }

private:
    explicit FaxEncoder(const FaxCoding& coding) : coding_(coding) { }

    static std::vector<int> Changes(const std::string& row)
    {
        std::vector<int> changes;
        bool black = false;
        for (size_t x = 0; x < row.size(); ++x)
            if ((row[x] == '#') != black) {
                changes.push_back(static_cast<int>(x));
                black = !black;
            }
        return changes;
    }

    void StartRow(bool oneDimensional)
    {
        if (coding_.endOfLine) {
            if (coding_.byteAlign)
                bits_.PadTo(8, 12);  // the end-of-line code ends on a byte boundary
            bits_.Put(kCcittEndOfLine);
        } else if (coding_.byteAlign) {
            bits_.PadTo(8);
        }
        if (coding_.k > 0)
            bits_.Put(oneDimensional ? "1" : "0");
    }

    void PutRun(int run, bool white)
    {
        const CcittRunCodes codes = white ? CcittWhiteRunCodes() : CcittBlackRunCodes();
        auto code = [&](int length) {
            for (size_t i = 0; i < codes.count; ++i)
                if (codes.codes[i].run == length)
                    return std::string(codes.codes[i].bits);
            return std::string();
        };
        while (run >= 2560) {
            bits_.Put(code(2560));
            run -= 2560;
        }
        if (run >= 64)
            bits_.Put(code(run / 64 * 64));
        bits_.Put(code(run % 64));
    }

    void PutMode(CcittMode mode, int offset = 0)
    {
        const CcittModeCodes codes = CcittTwoDimensionalModeCodes();
        for (size_t i = 0; i < codes.count; ++i)
            if (codes.codes[i].mode == mode && codes.codes[i].offset == offset)
                bits_.Put(codes.codes[i].bits);
    }

    void Row1D(const std::vector<int>& changes, int columns)
    {
        int at = 0;
        bool white = true;
        for (size_t i = 0; i <= changes.size(); ++i) {
            const int next = i < changes.size() ? changes[i] : columns;
            PutRun(next - at, white);
            at = next;
            white = !white;
        }
    }

    // T.4 4.2.1.3: pass when b2 lies left of a1, vertical when a1 is within 3 of b1, else horizontal.
    void Row2D(const std::vector<int>& changes, const std::vector<int>& reference, int columns)
    {
        auto at = [columns](const std::vector<int>& v, size_t i) { return i < v.size() ? v[i] : columns; };
        int a0 = -1;
        bool white = true;
        while (a0 < columns) {
            size_t a = 0;
            while (a < changes.size() && changes[a] <= a0)
                ++a;
            size_t b = 0;
            while (b < reference.size() && (reference[b] <= a0 || (b % 2 == 0) != white))
                ++b;
            const int a1 = at(changes, a), a2 = at(changes, a + 1);
            const int b1 = at(reference, b), b2 = at(reference, b + 1);
            if (b2 < a1) {
                PutMode(CcittMode::Pass);
                a0 = b2;
            } else if (a1 - b1 >= -3 && a1 - b1 <= 3) {
                PutMode(CcittMode::Vertical, a1 - b1);
                a0 = a1;
                white = !white;
            } else {
                PutMode(CcittMode::Horizontal);
                PutRun(a1 - (a0 < 0 ? 0 : a0), white);
                PutRun(a2 - a1, !white);
                a0 = a2;
            }
        }
    }

    const FaxCoding coding_;
    FaxBits bits_;
};

}  // namespace halvane::testing

#endif
