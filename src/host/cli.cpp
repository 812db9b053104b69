#include "host/cli.h"

#include <iostream>
#include <sstream>
#include <string_view>

#include "text/shift_jis.h"

namespace host {

const char kUsage[] =
    "usage: tunlex [--ini FILE] [--section NAME] [-p PARAM] [--encoding sjis|utf8] FILE...\n"
    "       tunlex param [--ini FILE] [--section NAME] [--char C] [--caption TEXT]\n"
    "                    [--rect LEFT,TOP,WIDTH,HEIGHT]\n"
    "       tunlex setup [--ini FILE] [--section NAME] [--rect LEFT,TOP,WIDTH,HEIGHT]\n"
    "  --ini FILE       settings file (default: none, the stored defaults apply)\n"
    "  --section NAME   settings section (default: mac_Tunlex)\n"
    "  -p PARAM         print only the answer for PARAM; an empty PARAM is the default\n"
    "                   composition. Without -p every item is printed with its letter.\n"
    "  --encoding E     answers as Shift-JIS bytes (sjis) or converted to UTF-8 (utf8);\n"
    "                   default: utf8 on a terminal, sjis otherwise\n"
    "  param            show the parameter dialog (Windows) and print the macro text it\n"
    "                   returns; --char is the macro character, --rect the host's rectangle\n"
    "  setup            show the setup dialog (Windows); OK saves to the --ini file\n";

namespace {

struct Item {
  char letter;
  const char* name;
};

constexpr Item kItems[] = {
    {'P', "artist"},   {'T', "title"},   {'A', "album"},    {'N', "track"},
    {'Y', "year"},     {'G', "genre"},   {'S', "time"},     {'B', "bitrate"},
    {'F', "sampling"}, {'V', "CBR/VBR"}, {'C', "channels"},
};

}  // namespace

namespace {

std::optional<DialogRect> parse_rect(const std::string& text) {
  DialogRect rect;
  char comma[3] = {};
  std::istringstream in(text);
  in >> rect.left >> comma[0] >> rect.top >> comma[1] >> rect.width >> comma[2] >> rect.height;
  if (!in || !in.eof() || comma[0] != ',' || comma[1] != ',' || comma[2] != ',') {
    return std::nullopt;
  }
  return rect;
}

}  // namespace

ParseResult ParseOptions(const std::vector<std::string>& args) {
  Options options;
  std::size_t first = 0;
  if (!args.empty() && (args[0] == "param" || args[0] == "setup")) {
    options.param_dialog = args[0] == "param";
    options.setup_dialog = args[0] == "setup";
    first = 1;
  }
  const bool dialog = options.param_dialog || options.setup_dialog;
  for (std::size_t i = first; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&](std::string& into) {
      if (i + 1 >= args.size()) return false;
      into = args[++i];
      return true;
    };
    std::string v;
    if (arg == "-h" || arg == "--help") {
      options.help = true;
    } else if (arg == "--ini") {
      if (!value(v)) return {std::nullopt, "--ini needs a file"};
      options.ini_path = v;
    } else if (arg == "--section") {
      if (!value(v)) return {std::nullopt, "--section needs a name"};
      options.section = v;
    } else if (arg == "-p") {
      if (!value(v)) return {std::nullopt, "-p needs a parameter (\"\" for the default)"};
      options.parameter = v;
    } else if (arg == "--encoding") {
      if (!value(v)) return {std::nullopt, "--encoding needs sjis or utf8"};
      if (v == "sjis") {
        options.encoding = Encoding::ShiftJis;
      } else if (v == "utf8") {
        options.encoding = Encoding::Utf8;
      } else {
        return {std::nullopt, "unknown encoding '" + v + "' (sjis or utf8)"};
      }
    } else if (options.param_dialog && arg == "--char") {
      if (!value(v) || v.size() != 1) return {std::nullopt, "--char needs one character"};
      options.macro_char = v[0];
    } else if (options.param_dialog && arg == "--caption") {
      if (!value(v)) return {std::nullopt, "--caption needs a text"};
      options.caption = v;
    } else if (dialog && arg == "--rect") {
      const auto rect = value(v) ? parse_rect(v) : std::nullopt;
      if (!rect) return {std::nullopt, "--rect needs LEFT,TOP,WIDTH,HEIGHT"};
      options.rect = *rect;
    } else if (arg == "--") {
      options.files.insert(options.files.end(), args.begin() + static_cast<long>(i) + 1,
                           args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return {std::nullopt, "unknown option '" + arg + "'"};
    } else {
      options.files.push_back(arg);
    }
  }
  if (dialog && !options.files.empty()) return {std::nullopt, args[0] + " takes no file"};
  if (!options.help && !dialog && options.files.empty()) {
    return {std::nullopt, "no MP3 file given"};
  }
  return {options, {}};
}

SplitPath SplitFilePath(const std::string& path) {
  const auto slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return {".", path};
  // Keep a root's separator: "/a.mp3" lies in "/".
  return {path.substr(0, slash == 0 ? 1 : slash), path.substr(slash + 1)};
}

int RunParamDialog(const Options& options, MacroBackend& backend, std::ostream& out,
                   std::ostream& err) {
  backend.init(options.ini_path.value_or(""), options.section);
  bool supported = true;
  const auto text = backend.param(options.macro_char, options.caption, options.rect, supported);
  backend.term();
  if (!supported) {
    err << "tunlex: the parameter dialog needs the Windows build\n";
    return 2;
  }
  if (!text) {
    out << "(no text returned)\n";
    return 1;
  }
  out << *text << '\n';
  return 0;
}

int RunSetupDialog(const Options& options, MacroBackend& backend, std::ostream& err) {
  backend.init(options.ini_path.value_or(""), options.section);
  const bool supported = backend.setup(options.rect);
  backend.term();
  if (!supported) {
    err << "tunlex: the setup dialog needs the Windows build\n";
    return 2;
  }
  return 0;
}

int RunTunlex(const Options& options, MacroBackend& backend, std::ostream& out, std::ostream& err,
              bool out_is_terminal) {
  if (options.param_dialog) return RunParamDialog(options, backend, out, err);
  if (options.setup_dialog) return RunSetupDialog(options, backend, err);
  const bool utf8 =
      options.encoding == Encoding::Utf8 || (options.encoding == Encoding::Auto && out_is_terminal);
  auto answer = [&](std::string_view text) {
    return utf8 ? text::sjis_to_utf8(text) : std::string(text);
  };

  backend.init(options.ini_path.value_or(""), options.section);
  int failures = 0;
  for (const std::string& path : options.files) {
    if (!backend.can_read(path)) {
      err << "tunlex: cannot read '" << backend.display_path(path, utf8) << "'\n";
      ++failures;
      continue;
    }
    const SplitPath where = SplitFilePath(path);
    if (options.parameter) {
      out << answer(backend.exec(*options.parameter, where.folder, where.file_name, 1)) << '\n';
      continue;
    }
    out << backend.display_path(path, utf8) << '\n';
    std::int32_t read_flag = 1;  // one read per file, then answers from the record
    for (const Item& item : kItems) {
      const std::string value =
          backend.exec(std::string(1, item.letter), where.folder, where.file_name, read_flag);
      read_flag = 0;
      out << "  " << item.letter << "  " << item.name
          << std::string(10 - std::string_view(item.name).size(), ' ') << answer(value) << '\n';
    }
    out << "  default      " << answer(backend.exec("", where.folder, where.file_name, 0)) << '\n';
  }
  backend.term();
  return failures == 0 ? 0 : 1;
}

int TunlexMain(const std::vector<std::string>& args, const BackendOpener& open_backend,
               bool out_is_terminal) {
  try {
    const auto parsed = ParseOptions(args);
    if (!parsed.options) {
      std::cerr << "tunlex: " << parsed.error << "\n" << kUsage;
      return 2;
    }
    if (parsed.options->help) {
      std::cout << kUsage;
      return 0;
    }
    std::string error;
    const auto backend = open_backend(error);
    if (!backend) {
      std::cerr << "tunlex: " << error << "\n";
      return 3;
    }
    return RunTunlex(*parsed.options, *backend, std::cout, std::cerr, out_is_terminal);
  } catch (const std::exception& error) {
    std::cerr << "tunlex: " << error.what() << "\n";
    return 3;
  }
}

}  // namespace host
