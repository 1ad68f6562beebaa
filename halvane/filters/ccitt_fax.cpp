// CCITT fax decoding (ISO 32000-1, 7.4.6): Group 3 one-dimensional (ITU-T T.4, modified Huffman),
// Group 3 two-dimensional (T.4, modified READ) and Group 4 (T.6).
//
// Each row is decoded into its changing elements: the columns where the colour changes, the first
// one from white to black. Two-dimensional rows are coded against the previous row's changing
// elements (the reference line).
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "halvane/filters/ccitt_codes.h"
#include "halvane/filters/filters.h"

namespace halvane {

namespace {

// Rows wider than this come from no fax machine or scanner; the row buffers stay small.
constexpr int kMaxColumns = 1 << 17;
// Run codes are at most 13 bits long, mode codes at most 7.
constexpr int kRunPeekBits = 13;
constexpr int kModePeekBits = 7;
// The end-of-line code is at least eleven 0 bits (fill may lengthen it) and a 1.
constexpr size_t kEndOfLineZeros = 11;

uint32_t CodeValue(const char* bits, int* length)
{
    uint32_t v = 0;
    *length = static_cast<int>(std::strlen(bits));
    for (const char* p = bits; *p; ++p)
        v = (v << 1) | (*p == '1' ? 1u : 0u);
    return v;
}

// Direct lookup of a run code by the next kRunPeekBits bits.
class RunTable {
public:
    struct Entry {
        uint16_t run = 0;
        uint8_t bits = 0;  // 0: no code starts with these bits
    };

    explicit RunTable(CcittRunCodes codes)
    {
        for (size_t i = 0; i < codes.count; ++i) {
            int length;
            const uint32_t value = CodeValue(codes.codes[i].bits, &length);
            const int free = kRunPeekBits - length;
            for (uint32_t tail = 0; tail < (1u << free); ++tail) {
                Entry& e = entries_[(value << free) | tail];
                e.run = static_cast<uint16_t>(codes.codes[i].run);
                e.bits = static_cast<uint8_t>(length);
            }
        }
    }

    const Entry& operator[](uint32_t peek) const { return entries_[peek]; }

private:
    Entry entries_[1u << kRunPeekBits];
};

class ModeTable {
public:
    struct Entry {
        CcittMode mode = CcittMode::Pass;
        int offset = 0;
        int bits = 0;  // 0: extension, end-of-line or damage
    };

    ModeTable()
    {
        const CcittModeCodes codes = CcittTwoDimensionalModeCodes();
        for (size_t i = 0; i < codes.count; ++i) {
            int length;
            const uint32_t value = CodeValue(codes.codes[i].bits, &length);
            const int free = kModePeekBits - length;
            for (uint32_t tail = 0; tail < (1u << free); ++tail) {
                Entry& e = entries_[(value << free) | tail];
                e.mode = codes.codes[i].mode;
                e.offset = codes.codes[i].offset;
                e.bits = length;
            }
        }
    }

    const Entry& operator[](uint32_t peek) const { return entries_[peek]; }

private:
    Entry entries_[1u << kModePeekBits];
};

const RunTable& WhiteRuns()
{
    static const RunTable table(CcittWhiteRunCodes());
    return table;
}

const RunTable& BlackRuns()
{
    static const RunTable table(CcittBlackRunCodes());
    return table;
}

const ModeTable& Modes()
{
    static const ModeTable table;
    return table;
}

// Reads the data most significant bit first; past its end it reads 0 bits.
class BitReader {
public:
    BitReader(const uint8_t* data, size_t size) : data_(data), size_(std::min(size, SIZE_MAX / 8)), end_(size_ * 8) { }

    // The next n (1..24) bits.
    uint32_t Peek(int n) const
    {
        const size_t byte = pos_ >> 3;
        uint32_t window = 0;
        for (size_t i = 0; i < 4; ++i)
            window = (window << 8) | (byte + i < size_ ? data_[byte + i] : 0u);
        return (window << (pos_ & 7)) >> (32 - n);
    }

    void Skip(size_t n) { pos_ += n; }
    void Seek(size_t pos) { pos_ = pos; }
    size_t Position() const { return pos_; }
    void AlignToByte() { pos_ = (pos_ + 7) & ~static_cast<size_t>(7); }
    bool AtEnd() const { return pos_ >= end_; }
    bool Overran() const { return pos_ > end_; }

    // The number of 0 bits from the current position up to the next 1 bit or the end of the data;
    // *oneFollows says which of the two ended them.
    size_t ZeroRun(bool* oneFollows) const
    {
        size_t p = pos_;
        while (p < end_) {
            const uint8_t byte = static_cast<uint8_t>(data_[p >> 3] << (p & 7));
            if (byte != 0) {
                int lead = 0;
                while (!(byte & (0x80 >> lead)))
                    ++lead;
                *oneFollows = true;
                return p - pos_ + static_cast<size_t>(lead);
            }
            p = (p | 7) + 1;  // the rest of this byte is zeros
        }
        *oneFollows = false;
        return end_ > pos_ ? end_ - pos_ : 0;
    }

private:
    const uint8_t* data_;
    size_t size_;
    size_t end_;
    size_t pos_ = 0;
};

class FaxDecoder {
public:
    FaxDecoder(const CcittParams& params, const uint8_t* data, size_t size)
        : params_(params), columns_(params.columns), maxChanges_(2 * static_cast<size_t>(params.columns) + 4),
          reader_(data, size)
    {
        SetReference();
    }

    bool Decode(size_t maxOutput, std::string* out)
    {
        const size_t rowBytes = (static_cast<size_t>(columns_) + 7) / 8;
        const size_t start = out->size();
        const bool tolerant = params_.endOfLine && params_.k >= 0 && params_.damagedRowsBeforeError > 0;
        int rowsDone = 0;
        int damagedRows = 0;
        bool previousDamaged = false;
        while (params_.rows <= 0 || rowsDone < params_.rows) {
            const RowKind kind = StartRow();
            if (kind == RowKind::End)
                break;
            const size_t rowStart = reader_.Position();
            const bool decoded =
                (kind == RowKind::OneDimensional ? DecodeRow1D() : DecodeRow2D()) && !reader_.Overran();
            if (decoded) {
                Normalize();
                previousDamaged = false;
            } else {
                // A tolerated damaged row ends at the next end-of-line code; it shows the row above
                // it, or white when that one was damaged too.
                if (!tolerant || damagedRows >= params_.damagedRowsBeforeError || !SeekEndOfLine(rowStart))
                    break;
                ++damagedRows;
                if (previousDamaged)
                    row_.clear();
                previousDamaged = true;
            }
            if (out->size() - start + rowBytes > maxOutput)
                return false;
            AppendRow(rowBytes, out);
            SetReference();
            ++rowsDone;
        }
        if (rowsDone == 0)
            return false;
        row_.clear();
        for (; rowsDone < params_.rows; ++rowsDone) {
            if (out->size() - start + rowBytes > maxOutput)
                return false;
            AppendRow(rowBytes, out);
        }
        return true;
    }

private:
    enum class RowKind { OneDimensional, TwoDimensional, End };

    // Positions the reader at the row's first code: past fill, end-of-line code and (Group 3
    // two-dimensional) the tag bit saying how the row is coded. Two end-of-line codes in a row
    // end the data (Group 3 return-to-control, Group 4 end-of-facsimile-block): no row is empty.
    RowKind StartRow()
    {
        if (params_.k < 0) {
            if (params_.encodedByteAlign)
                reader_.AlignToByte();
            if (SkipEndOfLine() && AtEndOfLine())
                return RowKind::End;
            return reader_.AtEnd() ? RowKind::End : RowKind::TwoDimensional;
        }
        // With end-of-line codes the padding comes before them, so the scan for the code skips it.
        if (params_.encodedByteAlign && !params_.endOfLine)
            reader_.AlignToByte();
        if (SkipEndOfLine()) {
            const size_t after = reader_.Position();
            if (params_.k > 0)
                reader_.Skip(1);
            if (AtEndOfLine())
                return RowKind::End;
            reader_.Seek(after);
        }
        if (reader_.AtEnd())
            return RowKind::End;
        if (params_.k == 0)
            return RowKind::OneDimensional;
        const bool tag = reader_.Peek(1) != 0;
        reader_.Skip(1);
        return tag ? RowKind::OneDimensional : RowKind::TwoDimensional;
    }

    bool AtEndOfLine() const
    {
        bool one;
        return reader_.ZeroRun(&one) >= kEndOfLineZeros && one;
    }

    bool SkipEndOfLine()
    {
        bool one;
        const size_t zeros = reader_.ZeroRun(&one);
        if (zeros < kEndOfLineZeros || !one)
            return false;
        reader_.Skip(zeros + 1);
        return true;
    }

    // Finds the next end-of-line code at or after bit position from and stops in front of it.
    bool SeekEndOfLine(size_t from)
    {
        reader_.Seek(from);
        while (!reader_.AtEnd()) {
            bool one;
            const size_t zeros = reader_.ZeroRun(&one);
            if (!one)
                return false;
            if (zeros >= kEndOfLineZeros)
                return true;
            reader_.Skip(zeros + 1);
        }
        return false;
    }

    // One run length: make-up codes, then a terminating code. -1 for an invalid code.
    int ReadRun(const RunTable& table)
    {
        int total = 0;
        for (;;) {
            const RunTable::Entry& e = table[reader_.Peek(kRunPeekBits)];
            if (e.bits == 0)
                return -1;
            reader_.Skip(e.bits);
            total += e.run;
            if (e.run < 64)
                return total;
            if (total > columns_ || reader_.Overran())
                return -1;
        }
    }

    bool DecodeRow1D()
    {
        coding_.clear();
        int a0 = 0;
        bool white = true;
        while (a0 < columns_) {
            const int run = ReadRun(white ? WhiteRuns() : BlackRuns());
            if (run < 0 || run > columns_ - a0 || coding_.size() >= maxChanges_)
                return false;
            a0 += run;
            coding_.push_back(a0);
            white = !white;
        }
        return true;
    }

    // T.4 4.2 / T.6 2.2: a0 is the last coded position (-1 before the row), b1 the first changing
    // element of the reference line right of a0 that changes to the colour opposite a0's, b2 the
    // one after it.
    bool DecodeRow2D()
    {
        coding_.clear();
        const int* ref = reference_.data();
        size_t j = 0;
        int a0 = -1;
        bool white = true;
        while (a0 < columns_) {
            while (ref[j] <= a0)
                ++j;  // stops at the sentinels, which equal columns_
            const size_t b = ((j & 1) == (white ? 0u : 1u)) ? j : j + 1;
            const int b1 = ref[b];
            const int b2 = ref[b + 1];
            const ModeTable::Entry& e = Modes()[reader_.Peek(kModePeekBits)];
            if (e.bits == 0)
                return false;
            reader_.Skip(static_cast<size_t>(e.bits));
            const int from = a0 < 0 ? 0 : a0;
            if (e.mode == CcittMode::Pass) {
                a0 = b2;
            } else if (e.mode == CcittMode::Horizontal) {
                const int run1 = ReadRun(white ? WhiteRuns() : BlackRuns());
                const int run2 = run1 < 0 ? -1 : ReadRun(white ? BlackRuns() : WhiteRuns());
                if (run2 < 0 || run1 > columns_ - from || run2 > columns_ - from - run1)
                    return false;
                coding_.push_back(from + run1);
                coding_.push_back(from + run1 + run2);
                a0 = from + run1 + run2;
            } else {
                const int a1 = b1 + e.offset;
                if (a1 < from || a1 > columns_)
                    return false;
                coding_.push_back(a1);
                a0 = a1;
                white = !white;
            }
            if (coding_.size() > maxChanges_ || reader_.Overran())
                return false;
        }
        return true;
    }

    // The decoded positions become the row's changing elements: changes at the row's end say
    // nothing, and two changes at one column (a zero-length run) cancel.
    void Normalize()
    {
        row_.clear();
        for (const int p : coding_) {
            if (p >= columns_)
                break;
            if (!row_.empty() && row_.back() == p)
                row_.pop_back();
            else
                row_.push_back(p);
        }
    }

    // The reference line for the next row: this row's changing elements and, standing for the
    // imaginary elements past the row's end, enough copies of columns_ for b1 and b2 to exist.
    void SetReference()
    {
        reference_.assign(row_.begin(), row_.end());
        reference_.insert(reference_.end(), 3, columns_);
    }

    void AppendRow(size_t rowBytes, std::string* out) const
    {
        const char whiteByte = params_.blackIs1 ? '\0' : '\xFF';
        const size_t at = out->size();
        out->append(rowBytes, whiteByte);
        uint8_t* row = reinterpret_cast<uint8_t*>(&(*out)[at]);
        for (size_t i = 0; i < row_.size(); i += 2) {
            const int end = i + 1 < row_.size() ? row_[i + 1] : columns_;
            PaintBlack(row, row_[i], end);
        }
    }

    void PaintBlack(uint8_t* row, int from, int to) const
    {
        const bool ones = params_.blackIs1;
        auto paint = [&](size_t byte, uint8_t mask) {
            row[byte] = ones ? static_cast<uint8_t>(row[byte] | mask) : static_cast<uint8_t>(row[byte] & ~mask);
        };
        size_t x = static_cast<size_t>(from);
        const size_t end = static_cast<size_t>(to);
        while (x < end && (x & 7)) {
            paint(x >> 3, static_cast<uint8_t>(0x80 >> (x & 7)));
            ++x;
        }
        if (end - x >= 8) {
            const size_t bytes = (end - x) / 8;
            std::memset(row + (x >> 3), ones ? 0xFF : 0x00, bytes);
            x += bytes * 8;
        }
        for (; x < end; ++x)
            paint(x >> 3, static_cast<uint8_t>(0x80 >> (x & 7)));
    }

    const CcittParams params_;
    const int columns_;
    const size_t maxChanges_;
    BitReader reader_;
    std::vector<int> coding_;  // positions decoded for the current row
    std::vector<int> row_;  // changing elements of the last row put out
    std::vector<int> reference_;  // row_ with sentinels
};

}  // namespace

bool CcittFaxDecode(const CcittParams& params, const uint8_t* data, size_t size, size_t maxOutput, std::string* out)
{
    if (params.columns <= 0 || params.columns > kMaxColumns)
        return false;
    FaxDecoder decoder(params, data, size);
    return decoder.Decode(maxOutput, out);
}

}  // namespace halvane
