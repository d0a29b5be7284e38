// The address fragment reader: fragment -> command line, refusing what a link may not carry.
#include "cli/common/AddressFragment.h"

#include "cli/common/CliOptions.h"
#include "timing/common/NumberReading.h"

#include <algorithm>

namespace quillon::cli {
inline namespace common {

namespace {

constexpr std::size_t kShownLength = 40;

// A piece of the fragment in a message: quoted, cut at kShownLength, control characters
// and bytes beyond ASCII shown as %XX so the message itself stays printable.
std::string Shown(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown = "'";
    for (const char c : text.substr(0, kShownLength)) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) {
            shown += '%';
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0xF];
        } else {
            shown += c;
        }
    }
    return shown + (text.size() > kShownLength ? "...'" : "'");
}

FragmentReading Refused(std::string_view part, std::string_view what) {
    return {{}, "address: " + Shown(part) + ": " + std::string(what)};
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// Characters a fragment may hold as they are (RFC 3986's unreserved and sub-delimiters,
// ':', '@', '/' and '?'); '&' and '=' separate, '%' starts an escape.
bool IsPlainCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~!$'()*+,;:@/?=").find(c) != std::string_view::npos;
}

// The length of the UTF-8 sequence starting at `at`, or 0 for a byte no sequence starts
// with, a sequence cut short, an overlong form, a surrogate or a value beyond U+10FFFF.
std::size_t Utf8Length(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    const bool surrogate = value >= 0xD800 && value <= 0xDFFF;
    return overlong || surrogate || value > 0x10FFFF ? 0 : length;
}

// Percent-decodes `text` into `decoded`; gives the refusal, or nothing.
std::string Decode(std::string_view text, std::string& decoded) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '%') {
            const int high = i + 1 < text.size() ? HexDigitValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? HexDigitValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                return "'%' must be followed by two hexadecimal digits (" +
                       Shown(text.substr(i, 3)) + ")";
            }
            decoded += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (IsPlainCharacter(c)) {
            decoded += c;
        } else {
            return Shown(text.substr(i, 1)) + " must be percent-encoded";
        }
    }
    for (std::size_t i = 0; i < decoded.size();) {
        const auto byte = static_cast<unsigned char>(decoded[i]);
        if (byte < 0x20 || byte == 0x7F) {
            return "holds a control character";
        }
        if (byte < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = Utf8Length(decoded, i);
        if (length == 0) {
            return "is not UTF-8 text";
        }
        i += length;
    }
    return {};
}

// The command word(s) of `text`, or the refusal.
FragmentReading ReadCommand(std::string_view text, Command& command) {
    const std::size_t slash = text.find('/');
    const std::string_view first = text.substr(0, slash);
    const CommandInfo* info = FindCommand(first);
    if (info == nullptr) {
        return Refused(text, "not a command of quillon-cli");
    }
    FragmentReading reading;
    reading.args.emplace_back(first);
    if (IsGroup(info->command)) {
        if (slash == std::string_view::npos) {
            return Refused(text,
                           "a command must follow, as in '" + std::string(first) + "/timing'");
        }
        const std::string_view own = text.substr(slash + 1);
        info = FindCommand(own, first);
        if (info == nullptr) {
            return Refused(text, "not a command of " + std::string(first));
        }
        reading.args.emplace_back(own);
    } else if (slash != std::string_view::npos) {
        return Refused(text, std::string(first) + " has no commands of its own");
    }
    command = info->command;
    if (command == Command::Report || command == Command::FdReport || command == Command::Show) {
        return Refused(text, "writes files or opens the desktop calculator; an address "
                             "cannot ask for that");
    }
    return reading;
}

} // namespace

FragmentReading ReadFragment(std::string_view fragment) {
    if (!fragment.empty() && fragment.front() == '#') {
        fragment.remove_prefix(1);
    }
    if (fragment.size() > kFragmentMaxLength) {
        return Refused(fragment, std::to_string(fragment.size()) + " characters; at most " +
                                     std::to_string(kFragmentMaxLength) + " are read");
    }
    if (fragment.empty()) {
        return Refused(fragment, "no command");
    }
    const std::size_t question = fragment.find('?');
    Command command = Command::Help;
    FragmentReading reading = ReadCommand(fragment.substr(0, question), command);
    if (!reading.error.empty() || question == std::string_view::npos) {
        return reading;
    }

    std::string_view rest = fragment.substr(question + 1);
    std::vector<Option> seen;
    while (true) {
        const std::size_t amp = rest.find('&');
        const std::string_view part = rest.substr(0, amp);
        if (seen.size() == kFragmentMaxOptions) {
            return Refused(part, "more than " + std::to_string(kFragmentMaxOptions) + " options");
        }
        const std::size_t equals = part.find('=');
        const std::string_view name = part.substr(0, equals);
        if (name.empty()) {
            return Refused(part, "an option name is missing");
        }
        if (!std::all_of(name.begin(), name.end(), IsNameCharacter)) {
            return Refused(name, "not an option name (lower-case letters, digits and '-')");
        }
        const std::string dashed = "--" + std::string(name);
        const OptionInfo* info = FindOption(dashed, command);
        if (info == nullptr || !Accepts(command, info->option)) {
            return Refused(name, "not an option of " + CommandName(command));
        }
        if (info->kind == ValueKind::FileName || info->kind == ValueKind::Folder) {
            return Refused(name, "names a file or folder; an address cannot");
        }
        if (info->kind != ValueKind::BusNode &&
            std::find(seen.begin(), seen.end(), info->option) != seen.end()) {
            return Refused(name, "given more than once");
        }
        seen.push_back(info->option);
        if (info->kind == ValueKind::Flag) {
            if (equals != std::string_view::npos) {
                return Refused(part, "takes no value");
            }
            reading.args.push_back(dashed);
        } else {
            if (equals == std::string_view::npos) {
                return Refused(name, "needs a value, as in '" + std::string(name) + "=...'");
            }
            std::string value;
            const std::string problem = Decode(part.substr(equals + 1), value);
            if (!problem.empty()) {
                return Refused(part, problem);
            }
            reading.args.push_back(dashed + "=" + value);
        }
        if (amp == std::string_view::npos) {
            break;
        }
        rest.remove_prefix(amp + 1);
    }
    return reading;
}

std::string WriteFragment(const std::vector<std::string>& args) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string fragment;
    std::size_t i = 0;
    for (; i < args.size() && args[i].rfind("--", 0) != 0; ++i) {
        fragment += (i == 0 ? "" : "/") + args[i];
    }
    for (char separator = '?'; i < args.size(); ++i, separator = '&') {
        fragment += separator;
        const std::string& argument = args[i];
        const std::size_t equals = argument.find('=');
        fragment += argument.substr(2, equals == std::string::npos ? equals : equals - 2);
        if (equals == std::string::npos) {
            continue;
        }
        fragment += '=';
        for (const char c : argument.substr(equals + 1)) {
            const auto byte = static_cast<unsigned char>(c);
            if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                std::string_view("-._~!*'():@,/=").find(c) != std::string_view::npos) {
                fragment += c;
            } else {
                fragment += '%';
                fragment += kHex[byte >> 4];
                fragment += kHex[byte & 0xF];
            }
        }
    }
    return fragment;
}

} // namespace common
} // namespace quillon::cli
