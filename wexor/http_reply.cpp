#include "http_reply.h"

#include <string.h>

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

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
            }
        }
        line = lineEnd + 2;
    }
    return ReplyState::Complete;
}

ReplyState DecodeChunkedBody(const std::string& raw, size_t offset, std::string* body)
{
    std::string decoded;
    size_t at = offset;
    for (;;) {
        const size_t lineEnd = raw.find("\r\n", at);
        if (lineEnd == std::string::npos)
            return raw.size() - at > 1024 ? ReplyState::Malformed : ReplyState::Incomplete;
        // Chunk size in hexadecimal, optionally followed by extensions after ';'.
        unsigned long long size = 0;
        size_t digits = 0;
        for (size_t i = at; i < lineEnd && HexDigit(raw[i]) >= 0; ++i, ++digits) {
            if (digits >= 15)
                return ReplyState::Malformed;
            size = size * 16 + (unsigned long long)HexDigit(raw[i]);
        }
        if (digits == 0)
            return ReplyState::Malformed;
        const size_t dataStart = lineEnd + 2;
        if (size == 0) {
            // Trailers are not used; the last chunk ends the body.
            if (body)
                body->swap(decoded);
            return ReplyState::Complete;
        }
        if (size > raw.size() || dataStart > raw.size() - size)
            return ReplyState::Incomplete;
        const size_t dataEnd = dataStart + (size_t)size;
        if (raw.size() < dataEnd + 2)
            return ReplyState::Incomplete;
        if (raw[dataEnd] != '\r' || raw[dataEnd + 1] != '\n')
            return ReplyState::Malformed;
        if (body)
            decoded.append(raw, dataStart, (size_t)size);
        at = dataEnd + 2;
    }
}

ReplyState ReplyBody(const std::string& raw, bool serverClosed, std::string* body)
{
    HttpReplyHead head;
    const ReplyState headState = ParseReplyHead(raw, &head);
    if (headState != ReplyState::Complete)
        return serverClosed && headState == ReplyState::Incomplete ? ReplyState::Malformed : headState;
    if (head.chunked) {
        const ReplyState state = DecodeChunkedBody(raw, head.bodyOffset, body);
        return serverClosed && state == ReplyState::Incomplete ? ReplyState::Malformed : state;
    }
    const size_t have = raw.size() - head.bodyOffset;
    if (head.hasContentLength) {
        if (have < head.contentLength)
            return serverClosed ? ReplyState::Malformed : ReplyState::Incomplete;
        if (body)
            body->assign(raw, head.bodyOffset, (size_t)head.contentLength);
        return ReplyState::Complete;
    }
    if (!serverClosed)
        return ReplyState::Incomplete;
    if (body)
        body->assign(raw, head.bodyOffset, have);
    return ReplyState::Complete;
}
