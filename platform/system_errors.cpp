#include "platform/system_errors.h"

#include <cerrno>
#include <charconv>

namespace platform {

std::string systemErrorText(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return "filen eller mappen finns inte";
    case ENOTDIR:
        return "en del av sökvägen är ingen mapp";
    case EACCES:
    case EPERM:
        return "behörighet saknas";
    case EROFS:
        return "filsystemet är skrivskyddat";
    case ENOSPC:
        return "disken är full";
    case EDQUOT:
        return "diskkvoten är förbrukad";
    case ELOOP:
        return "en symbolisk länk står i vägen";
    case EEXIST:
        return "det finns redan något med det namnet";
    case EISDIR:
        return "det är en mapp";
    case EIO:
        return "läs- eller skrivfel på disken";
    case ENAMETOOLONG:
        return "namnet är för långt";
    case EMFILE:
    case ENFILE:
        return "för många filer är öppna";
    case ENOMEM:
        return "minnet räcker inte";
    case EBUSY:
        return "filen eller mappen är upptagen";
    default: {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, errorNumber).ptr;
        return "okänt fel (felkod " + std::string(digits, end) + ")";
    }
    }
}

} // namespace platform
