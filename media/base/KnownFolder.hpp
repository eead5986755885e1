#pragma once

#include <string>

// The user's folders as the platform itself names them, where it has a call for that (Windows'
// known folders); elsewhere the caller finds them its own way (app/UserFolder reads
// xdg-user-dirs on Linux).
class KnownFolder {
  public:
    enum class Kind { Pictures, Documents };

    // The folder's absolute path in UTF-8, as the platform reports it now (it may be redirected
    // to another drive or a cloud folder); "" on platforms without such a call, or when the
    // platform has none for this user. Does not make the folder.
    static std::string Path(Kind kind);
};
