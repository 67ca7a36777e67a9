#include "Options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <optional>

namespace sorrel {

namespace {

std::optional<double> positiveNumber(const std::string& s) {
    if (s.empty())
        return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v) || !(v > 0.0))
        return std::nullopt;
    return v;
}

std::optional<int> scaleFactor(const std::string& s) {
    if (s.size() != 1 || s[0] < '1' || s[0] > '4')
        return std::nullopt;
    return s[0] - '0';
}

} // namespace

std::string usageText() {
    return "Usage: sorrel [options]\n"
           "Hartree computation of the helium ground state, drawn as it runs.\n"
           "Without options the window opens and the run is drawn at its normal pace\n"
           "(one plotted point per 1/256 s); Escape or closing the window ends it.\n"
           "\n"
           "Options:\n"
           "  --table             print the table of the run as text and exit\n"
           "                      (no window, no waits, no sounds)\n"
           "  --speed F           draw F times as fast (F > 0, default 1); no effect\n"
           "                      with --table and the exports, which never wait\n"
           "  --export-png FILE   compute the whole run without waits or sounds and write\n"
           "                      the finished window as a PNG picture\n"
           "  --scale N           with --export-png: N pixels per window pixel (1 to 4,\n"
           "                      default 1; 2 gives a picture for high-density screens)\n"
           "  --export-pdf FILE   as --export-png, but a one-page PDF with real text\n"
           "                      (both exports may be given together)\n"
           "  -h, --help          show this help and exit\n"
           "\n"
           "Exit status: 0 on success, 1 when a file cannot be written or the computation\n"
           "fails, 2 for a command line that cannot be used.\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args) {
    ParsedOptions result;
    Options& o = result.options;
    for (const std::string& a : args)
        if (a == "--help" || a == "-h") {
            o.help = true;
            return result;
        }

    bool scaleGiven = false;
    auto fail = [&](std::string message) {
        result.error = std::move(message);
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (name.rfind("--", 0) == 0) {
            const std::size_t eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
            }
        }
        const bool takesValue =
            name == "--speed" || name == "--export-png" || name == "--export-pdf" || name == "--scale";
        if (takesValue && !value) {
            if (i + 1 >= args.size() || args[i + 1].rfind("--", 0) == 0)
                return fail("option " + name + " needs a value");
            value = args[++i];
        }

        if (name == "--table") {
            if (value)
                return fail("option --table takes no value");
            o.table = true;
        } else if (name == "--speed") {
            const auto v = positiveNumber(*value);
            if (!v)
                return fail("--speed: '" + *value + "' is not a number greater than 0");
            o.speed = *v;
        } else if (name == "--scale") {
            const auto v = scaleFactor(*value);
            if (!v)
                return fail("--scale: '" + *value + "' is not one of 1, 2, 3, 4");
            o.scale = *v;
            scaleGiven = true;
        } else if (name == "--export-png" || name == "--export-pdf") {
            if (value->empty())
                return fail("option " + name + " needs a file name");
            (name == "--export-png" ? o.exportPng : o.exportPdf) = *value;
        } else if (name.rfind("-", 0) == 0) {
            return fail("unknown option: " + args[i]);
        } else {
            return fail("unexpected argument: " + name);
        }
    }

    if (o.table && o.exporting())
        return fail("--table cannot be combined with --export-png or --export-pdf");
    if (scaleGiven && o.exportPng.empty())
        return fail("--scale applies only to --export-png");
    return result;
}

} // namespace sorrel
