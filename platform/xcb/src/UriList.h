#pragma once
// The files of a dropped "text/uri-list".

#include <string>
#include <vector>

namespace sdxcb {

// The local paths of the list, percent-decoded, in order: "file:" URIs of no host,
// "localhost" or this host; other entries, comments and broken escapes are left out.
std::vector<std::string> LocalPathsOfUriList(const std::string& uriList);

} // namespace sdxcb
