// Reads a raw HTTP/1.1 reply as the downloader receives it: status, the headers it needs,
// and the body with Content-Length or chunked transfer coding. Every length and offset
// comes from the network and is checked.
#ifndef MORVANE_WEXOR_HTTP_REPLY_H
#define MORVANE_WEXOR_HTTP_REPLY_H

#include <stddef.h>

#include <string>

const size_t kMaxHeaderBytes = 64 * 1024;

enum class ReplyState { Incomplete, Complete, Malformed };

struct HttpReplyHead {
    int status = 0;
    size_t bodyOffset = 0;          // first byte after the empty line
    bool hasContentLength = false;
    unsigned long long contentLength = 0;
    bool chunked = false;
    std::string location;           // Location header, empty when absent
};

// Parses status line and headers. Incomplete while the empty line has not arrived yet;
// Malformed for anything that is not an HTTP/1.x reply head.
ReplyState ParseReplyHead(const std::string& raw, HttpReplyHead* head);

// Decodes a chunked body starting at offset. Complete once the last (zero-size) chunk has
// arrived; the decoded bytes then are in body.
ReplyState DecodeChunkedBody(const std::string& raw, size_t offset, std::string* body);

// Whether the whole reply has arrived (by Content-Length or the last chunk); a reply with
// neither ends when the server closes. With body set, also gives the body when complete.
ReplyState ReplyBody(const std::string& raw, bool serverClosed, std::string* body);

#endif
