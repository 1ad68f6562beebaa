#include "http_reply.h"

#include <string.h>

namespace {

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool StartsWithNoCase(const std::string& text, size_t at, const char* prefix)
{
    const size_t length = strlen(prefix);
    if (at + length > text.size())
        return false;
    for (size_t i = 0; i < length; ++i)
        if (Lower(text[at + i]) != Lower(prefix[i]))
            return false;
    return true;
}

std::string Trim(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && (text[begin] == ' ' || text[begin] == '\t'))
        ++begin;
    while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(begin, end - begin);
}

// Decimal digits only, at most 18 of them (no overflow).
bool ParseDecimal(const std::string& text, unsigned long long* value)
{
    if (text.empty() || text.size() > 18)
        return false;
    unsigned long long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        result = result * 10 + (unsigned long long)(c - '0');
    }
    *value = result;
    return true;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

ReplyState ParseReplyHead(const std::string& raw, HttpReplyHead* head)
{
    const size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos)
        return raw.size() > kMaxHeaderBytes ? ReplyState::Malformed : ReplyState::Incomplete;
    if (end > kMaxHeaderBytes)
        return ReplyState::Malformed;
    *head = HttpReplyHead();
    head->bodyOffset = end + 4;

    // Status line: HTTP/1.x NNN reason
    if (!StartsWithNoCase(raw, 0, "HTTP/1.") || raw.size() < 12 || raw[8] != ' ')
        return ReplyState::Malformed;
    int status = 0;
    for (int i = 9; i < 12; ++i) {
        if (raw[i] < '0' || raw[i] > '9')
            return ReplyState::Malformed;
        status = status * 10 + (raw[i] - '0');
    }
    head->status = status;

    size_t line = raw.find("\r\n") + 2;
    while (line < end) {
        size_t lineEnd = raw.find("\r\n", line);
        if (lineEnd == std::string::npos || lineEnd > end)
            lineEnd = end;
        const std::string text = raw.substr(line, lineEnd - line);
        const size_t colon = text.find(':');
        if (colon != std::string::npos) {
            const std::string value = Trim(text.substr(colon + 1));
            if (StartsWithNoCase(text, 0, "content-length:")) {
                if (!ParseDecimal(value, &head->contentLength))
                    return ReplyState::Malformed;
                head->hasContentLength = true;
            } else if (StartsWithNoCase(text, 0, "transfer-encoding:")) {
                for (size_t i = 0; i + 7 <= value.size(); ++i)
                    if (StartsWithNoCase(value, i, "chunked"))
                        head->chunked = true;
            } else if (StartsWithNoCase(text, 0, "location:")) {
                head->location = value;
            } else if (StartsWithNoCase(text, 0, "content-encoding:")) {
                for (char c : value)
                    head->contentEncoding += Lower(c);
            }
        }
        line = lineEnd + 2;
    }
    return ReplyState::Complete;
}

ReplyState ChunkedDecoder::SizeLineEnded()
{
    // Chunk size in hexadecimal, optionally followed by extensions after ';'.
    unsigned long long size = 0;
    size_t digits = 0;
    const size_t textEnd = m_line.size() - 2;  // the line ends in CR LF
    for (size_t i = 0; i < textEnd && HexDigit(m_line[i]) >= 0; ++i, ++digits) {
        if (digits >= 15)
            return ReplyState::Malformed;
        size = size * 16 + (unsigned long long)HexDigit(m_line[i]);
    }
    m_line.clear();
    if (digits == 0)
        return ReplyState::Malformed;
    m_left = size;
    m_step = size == 0 ? Step::Done : Step::Data;
    return m_step == Step::Done ? ReplyState::Complete : ReplyState::Incomplete;
}

ReplyState ChunkedDecoder::Feed(const char* data, size_t length, const BodySink& sink)
{
    size_t at = 0;
    while (at < length) {
        switch (m_step) {
        case Step::Done:
            return ReplyState::Complete;
        case Step::Broken:
            return ReplyState::Malformed;
        case Step::SizeLine: {
            const char c = data[at++];
            m_line += c;
            if (c == '\n' && m_line.size() >= 2 && m_line[m_line.size() - 2] == '\r') {
                const ReplyState state = SizeLineEnded();
                if (state != ReplyState::Incomplete) {
                    if (state == ReplyState::Malformed)
                        m_step = Step::Broken;
                    return state;
                }
            } else if (m_line.size() > kMaxChunkLineBytes) {
                m_step = Step::Broken;
                return ReplyState::Malformed;
            }
            break;
        }
        case Step::Data: {
            const size_t piece = (size_t)(length - at < m_left ? length - at : m_left);
            if (!sink(data + at, piece)) {
                m_step = Step::Broken;
                return ReplyState::Malformed;
            }
            at += piece;
            m_left -= piece;
            if (m_left == 0)
                m_step = Step::DataCr;
            break;
        }
        case Step::DataCr:
        case Step::DataLf:
            if (data[at++] != (m_step == Step::DataCr ? '\r' : '\n')) {
                m_step = Step::Broken;
                return ReplyState::Malformed;
            }
            m_step = m_step == Step::DataCr ? Step::DataLf : Step::SizeLine;
            break;
        }
    }
    if (m_step == Step::Done)
        return ReplyState::Complete;
    return m_step == Step::Broken ? ReplyState::Malformed : ReplyState::Incomplete;
}

ReplyState HttpReplyReader::Feed(const char* data, size_t length)
{
    if (m_state != ReplyState::Incomplete)
        return m_state;
    if (!m_headArrived) {
        // Only the head is collected; the search restarts a few bytes back, never from the start.
        const size_t searchFrom = m_headBytes.size() < 3 ? 0 : m_headBytes.size() - 3;
        const size_t room = kMaxHeaderBytes + 4 - m_headBytes.size();
        const size_t take = length < room ? length : room;
        m_headBytes.append(data, take);
        const size_t end = m_headBytes.find("\r\n\r\n", searchFrom);
        if (end == std::string::npos) {
            if (m_headBytes.size() >= kMaxHeaderBytes + 4)
                m_state = ReplyState::Malformed;
            return m_state;
        }
        if (ParseReplyHead(m_headBytes, &m_head) != ReplyState::Complete)
            return m_state = ReplyState::Malformed;
        m_headArrived = true;
        m_bodyLeft = m_head.contentLength;
        // What came behind the empty line in this piece is the body's beginning.
        const size_t used = take - (m_headBytes.size() - m_head.bodyOffset);
        m_headBytes.clear();
        m_headBytes.shrink_to_fit();
        if (!m_head.chunked && m_head.hasContentLength && m_bodyLeft == 0)
            return m_state = ReplyState::Complete;
        data += used;
        length -= used;
        if (length == 0)
            return m_state;
    }
    return m_state = FeedBody(data, length);
}

ReplyState HttpReplyReader::FeedBody(const char* data, size_t length)
{
    if (m_head.chunked)
        return m_chunked.Feed(data, length, m_sink);
    if (m_head.hasContentLength) {
        const size_t piece = (size_t)(length < m_bodyLeft ? length : m_bodyLeft);
        if (!m_sink(data, piece))
            return ReplyState::Malformed;
        m_bodyLeft -= piece;
        return m_bodyLeft == 0 ? ReplyState::Complete : ReplyState::Incomplete;
    }
    return m_sink(data, length) ? ReplyState::Incomplete : ReplyState::Malformed;
}

ReplyState HttpReplyReader::ServerClosed()
{
    if (m_state == ReplyState::Incomplete) {
        // Only a reply framed by neither length nor chunks ends with the connection.
        const bool endsByClosing = m_headArrived && !m_head.chunked && !m_head.hasContentLength;
        m_state = endsByClosing ? ReplyState::Complete : ReplyState::Malformed;
    }
    return m_state;
}

ReplyState DecodeChunkedBody(const std::string& raw, size_t offset, std::string* body)
{
    if (offset > raw.size())
        return ReplyState::Incomplete;
    std::string decoded;
    ChunkedDecoder decoder;
    const ReplyState state =
        decoder.Feed(raw.data() + offset, raw.size() - offset, [&](const char* data, size_t length) {
            if (body)
                decoded.append(data, length);
            return true;
        });
    if (state == ReplyState::Complete && body)
        body->swap(decoded);
    return state;
}

ReplyState ReplyBody(const std::string& raw, bool serverClosed, std::string* body)
{
    std::string decoded;
    HttpReplyReader reader([&](const char* data, size_t length) {
        if (body)
            decoded.append(data, length);
        return true;
    });
    ReplyState state = reader.Feed(raw.data(), raw.size());
    if (state == ReplyState::Incomplete && serverClosed)
        state = reader.ServerClosed();
    if (state == ReplyState::Complete && body)
        body->swap(decoded);
    return state;
}
