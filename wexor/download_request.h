// The downloader's own GET request. Unlike the version check's request it asks for the bytes
// as they are (no compression): the release's MD5 is taken over exactly what arrives.
#ifndef MORVANE_WEXOR_DOWNLOAD_REQUEST_H
#define MORVANE_WEXOR_DOWNLOAD_REQUEST_H

#include <string>

#include "http_client.h"

// The request for parts, or empty when it does not fit kHttpRequestBytes (a request cut short
// would be a different request).
std::string BuildDownloadRequest(const UrlParts& parts);

// Whether the downloader can take a body with this Content-Encoding as the release itself:
// none, or "identity". Anything else (gzip, deflate, br...) would need decoding it does not do.
bool IsPlainContentEncoding(const std::string& contentEncoding);

#endif
