// Where a redirect sends the downloader: a Location value resolved against the address that
// answered with it (RFC 3986, section 5.2), for the plain http addresses the downloader fetches.
#ifndef MORVANE_WEXOR_REDIRECT_ADDRESS_H
#define MORVANE_WEXOR_REDIRECT_ADDRESS_H

#include <string>

// current is scheme://host[:port][/path][?query]. The result is an absolute address, or empty
// when location is empty or current has no host part. A location starting with a scheme
// ("http:") is absolute; "//host/x" keeps the current scheme; "/x" keeps the current host;
// "?q" keeps the current path; anything else is relative to the current path's folder. Dot
// segments are removed and a fragment ("#...") is dropped.
std::wstring ResolveRedirect(const std::wstring& current, const std::string& location);

#endif
