// Reads a raw HTTP/1.1 reply as the downloader receives it: status, the headers it needs,
// and the body with Content-Length or chunked transfer coding. Every length and offset
// comes from the network and is checked.
#ifndef MORVANE_WEXOR_HTTP_REPLY_H
#define MORVANE_WEXOR_HTTP_REPLY_H

#include <stddef.h>

#include <functional>
#include <string>

const size_t kMaxHeaderBytes = 64 * 1024;
// A chunk-size line is a few hex digits and perhaps an extension; longer is no chunked body.
const size_t kMaxChunkLineBytes = 1024;

enum class ReplyState { Incomplete, Complete, Malformed };

struct HttpReplyHead {
    int status = 0;
    size_t bodyOffset = 0;  // first byte after the empty line
    bool hasContentLength = false;
    unsigned long long contentLength = 0;
    bool chunked = false;
    std::string location;  // Location header, empty when absent
    std::string contentEncoding;  // Content-Encoding header in lowercase, empty when absent
};

// Parses status line and headers. Incomplete while the empty line has not arrived yet;
// Malformed for anything that is not an HTTP/1.x reply head.
ReplyState ParseReplyHead(const std::string& raw, HttpReplyHead* head);

// Receives body bytes as they are decoded; false stops the reply.
typedef std::function<bool(const char* data, size_t length)> BodySink;

// The chunked transfer coding decoded as the bytes arrive: every byte is looked at once and
// only the current chunk-size line is held, so the cost stays linear in the body's size.
class ChunkedDecoder {
public:
    // Data bytes go to sink. Complete at the last (zero-size) chunk (trailers are not used,
    // anything fed after it is ignored); Malformed at broken framing or when sink refuses.
    ReplyState Feed(const char* data, size_t length, const BodySink& sink);

private:
    enum class Step { SizeLine, Data, DataCr, DataLf, Done, Broken };
    ReplyState SizeLineEnded();

    Step m_step = Step::SizeLine;
    std::string m_line;
    unsigned long long m_left = 0;
};

// A whole reply read as it arrives: the head is collected (at most kMaxHeaderBytes), then the
// body goes to the sink piece by piece, framed by Content-Length, the chunked coding or the
// server closing. The head can be looked at as soon as it has arrived.
class HttpReplyReader {
public:
    explicit HttpReplyReader(BodySink sink) : m_sink(std::move(sink)) { }
    ReplyState Feed(const char* data, size_t length);
    // The server closed: Complete for a reply that ends this way, Malformed for one cut short.
    ReplyState ServerClosed();
    bool HeadArrived() const { return m_headArrived; }
    const HttpReplyHead& Head() const { return m_head; }

private:
    ReplyState FeedBody(const char* data, size_t length);

    BodySink m_sink;
    std::string m_headBytes;
    bool m_headArrived = false;
    HttpReplyHead m_head;
    ChunkedDecoder m_chunked;
    unsigned long long m_bodyLeft = 0;
    ReplyState m_state = ReplyState::Incomplete;
};

// Decodes a chunked body starting at offset. Complete once the last (zero-size) chunk has
// arrived; the decoded bytes then are in body.
ReplyState DecodeChunkedBody(const std::string& raw, size_t offset, std::string* body);

// Whether the whole reply has arrived (by Content-Length or the last chunk); a reply with
// neither ends when the server closes. With body set, also gives the body when complete.
ReplyState ReplyBody(const std::string& raw, bool serverClosed, std::string* body);

#endif
