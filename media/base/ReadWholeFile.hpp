#pragma once

#include <string>

// Reads the whole of a regular file of at most maxBytes into text (nothing else is read or
// waited for). False with "cannot read PATH[: why]" in error otherwise.
bool ReadWholeFile(const std::string& path, long long maxBytes, std::string& text,
                   std::string& error);
