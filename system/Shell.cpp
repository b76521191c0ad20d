#include "system/Shell.h"

#include "common/Strings.h"

bool OpenAsUser(IDesktopShell& Desktop, const std::u16string& Address)
{
    // The shell's "open" verb would also run programs, open shares and other schemes.
    return IsWebAddress(Address) && Desktop.Open(Address);
}
