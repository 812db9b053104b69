#include "host/cli.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <iostream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string_view>
#include <thread>

#include "host/line_formats.h"
#include "text/shift_jis.h"

namespace host {

const char kUsage[] =
    "usage: tunlex [--ini FILE] [--section NAME] [-p PARAM] [--encoding sjis|utf8]\n"
    "              [--format text|tsv|json] [-r] [-j N] PATH...\n"
    "       tunlex param [--ini FILE] [--section NAME] [--char C] [--caption TEXT]\n"
    "                    [--rect LEFT,TOP,WIDTH,HEIGHT]\n"
    "       tunlex setup [--ini FILE] [--section NAME] [--rect LEFT,TOP,WIDTH,HEIGHT]\n"
    "  PATH             a file (whatever its name), or a folder: its files whose names end\n"
    "                   in .mp3 (any case), in byte order of their names\n"
    "  --ini FILE       settings file (default: none, the stored defaults apply)\n"
    "  --section NAME   settings section (default: mac_Tunlex)\n"
    "  -p PARAM         print only the answer for PARAM; an empty PARAM is the default\n"
    "                   composition. Without -p every item is printed with its letter.\n"
    "  --encoding E     answers as Shift-JIS bytes (sjis) or converted to UTF-8 (utf8);\n"
    "                   default: utf8 on a terminal, sjis otherwise\n"
    "  --format F       text: the listing (default); tsv: one line per file, the path, the\n"
    "                   items P T A N Y G S B F V C and the default composition (or the -p\n"
    "                   answer) between tabs, with \\t \\r \\n \\\\ for tab, CR, LF, backslash;\n"
    "                   json: one JSON object per line, in UTF-8 whatever --encoding says\n"
    "  -r               folders' subfolders too, depth first; links to folders are skipped\n"
    "  -j N             read N files at a time (the Windows build reads one at a time)\n"
    "  param            show the parameter dialog (Windows) and print the macro text it\n"
    "                   returns; --char is the macro character, --rect the host's rectangle\n"
    "  setup            show the setup dialog (Windows); OK saves to the --ini file\n"
    "exit status: 0 all read, 1 some file or folder could not be read, 2 bad command line,\n"
    "             3 the plug-in could not be loaded\n";

namespace {

struct Item {
  char letter;
  const char* name;
  const char* json_key;
};

constexpr Item kItems[] = {
    {'P', "artist", "artist"}, {'T', "title", "title"},       {'A', "album", "album"},
    {'N', "track", "track"},   {'Y', "year", "year"},         {'G', "genre", "genre"},
    {'S', "time", "time"},     {'B', "bitrate", "bitrate"},   {'F', "sampling", "sampling"},
    {'V', "CBR/VBR", "mode"},  {'C', "channels", "channels"},
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
    } else if (arg == "--format") {
      if (!value(v)) return {std::nullopt, "--format needs text, tsv or json"};
      if (v == "text") {
        options.format = Format::Text;
      } else if (v == "tsv") {
        options.format = Format::Tsv;
      } else if (v == "json") {
        options.format = Format::Json;
      } else {
        return {std::nullopt, "unknown format '" + v + "' (text, tsv or json)"};
      }
    } else if (arg == "-r") {
      options.recursive = true;
    } else if (arg == "-j") {
      int jobs = 0;
      const bool read = value(v);
      const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), jobs);
      if (!read || error != std::errc() || end != v.data() + v.size() || jobs < 1) {
        return {std::nullopt, "-j needs a number of files at a time, 1 or more"};
      }
      options.jobs = jobs;
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

bool ExecBackend::read(const std::string& path) {
  read_pending_ = false;
  if (!can_read(path)) return false;
  const SplitPath where = SplitFilePath(path);
  folder_ = where.folder;
  file_name_ = where.file_name;
  read_pending_ = true;
  return true;
}

std::string ExecBackend::answer(const std::string& parameter) {
  const std::int32_t read_flag = read_pending_ ? 1 : 0;
  read_pending_ = false;
  return exec(parameter, folder_, file_name_, read_flag);
}

namespace {

bool is_mp3_name(std::string_view path) {
  if (path.size() < 4) return false;
  // "." (0x2E) is never the second byte of a Shift-JIS character, so these are four characters.
  return text::fold_ascii_case(path.substr(path.size() - 4)) == ".mp3";
}

// Adds the MP3 files of `folder` in name order, subfolders in place when recursive. False when
// the folder or one below it cannot be listed, or holds a name the backend cannot use.
bool add_folder(const std::string& folder, bool recursive, MacroBackend& backend, bool utf8,
                std::ostream& err, std::vector<std::string>& files) {
  auto entries = backend.list_folder(folder);
  if (!entries) {
    err << "tunlex: cannot read '" << backend.display_path(folder, utf8) << "'\n";
    return false;
  }
  std::sort(entries->begin(), entries->end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.path < b.path; });
  bool all = true;
  for (const FolderEntry& entry : *entries) {
    const bool wanted = entry.kind == FolderEntry::Kind::File
                            ? is_mp3_name(entry.path)
                            : entry.kind == FolderEntry::Kind::Folder && recursive;
    if (!wanted) continue;
    if (!entry.usable) {
      err << "tunlex: cannot read '" << backend.display_path(entry.path, utf8) << "'\n";
      all = false;
    } else if (entry.kind == FolderEntry::Kind::File) {
      files.push_back(entry.path);
    } else {
      all = add_folder(entry.path, recursive, backend, utf8, err, files) && all;
    }
  }
  return all;
}

// How each file's output is made. Used by reader threads too.
struct Printer {
  const Options& options;
  MacroBackend& backend;
  bool utf8;

  std::string value(std::string_view sjis) const {
    return utf8 ? text::sjis_to_utf8(sjis) : std::string(sjis);
  }

  // The file's whole output; nullopt when it cannot be read.
  std::optional<std::string> print(FileReader& reader, const std::string& path) const {
    if (!reader.read(path)) return std::nullopt;
    std::vector<std::string> answers;
    if (options.parameter) {
      answers.push_back(reader.answer(*options.parameter));
    } else {
      for (const Item& item : kItems) answers.push_back(reader.answer(std::string(1, item.letter)));
      answers.push_back(reader.answer(""));
    }
    switch (options.format) {
      case Format::Text:
        return text(path, answers);
      case Format::Tsv:
        return tsv(path, answers);
      case Format::Json:
        return json(path, answers);
    }
    return std::nullopt;
  }

  std::string text(const std::string& path, const std::vector<std::string>& answers) const {
    if (options.parameter) return value(answers[0]) + '\n';
    std::string out = backend.display_path(path, utf8) + '\n';
    for (std::size_t i = 0; i < std::size(kItems); ++i) {
      const std::string_view name = kItems[i].name;
      out += "  ";
      out += kItems[i].letter;
      out += "  ";
      out += name;
      out += std::string(10 - name.size(), ' ') + value(answers[i]) + '\n';
    }
    return out + "  default      " + value(answers.back()) + '\n';
  }

  std::string tsv(const std::string& path, const std::vector<std::string>& answers) const {
    std::string out;
    AppendTsvField(out, backend.display_path(path, utf8), backend.paths_are_sjis() && !utf8);
    for (const std::string& answer : answers) {
      out += '\t';
      AppendTsvField(out, value(answer), !utf8);
    }
    return out + '\n';
  }

  std::string json(const std::string& path, const std::vector<std::string>& answers) const {
    std::string out = "{\"path\":\"";
    if (backend.paths_are_sjis()) {
      AppendJsonSjis(out, path);
    } else {
      AppendJsonUtf8(out, path);
    }
    const auto add = [&](std::string_view key, std::string_view answer) {
      out += "\",\"";
      out += key;
      out += "\":\"";
      AppendJsonSjis(out, answer);
    };
    if (options.parameter) {
      add("answer", answers[0]);
    } else {
      for (std::size_t i = 0; i < std::size(kItems); ++i) add(kItems[i].json_key, answers[i]);
      add("default", answers.back());
    }
    return out + "\"}\n";
  }
};

// "tunlex: N/M files" on a terminal's stderr, rewritten in place at most ten times a second.
class Progress {
 public:
  Progress(std::ostream& err, bool shown, std::size_t total)
      : err_(err), shown_(shown && total > 1), total_(total) {}

  void update(std::size_t done) {
    if (!shown_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ever_ && now - last_drawn_ < std::chrono::milliseconds(100)) return;
    clear();
    const std::string line =
        "tunlex: " + std::to_string(done) + "/" + std::to_string(total_) + " files";
    err_ << '\r' << line << std::flush;
    width_ = line.size();
    last_drawn_ = now;
    drawn_ever_ = true;
  }

  void clear() {
    if (width_ == 0) return;
    err_ << '\r' << std::string(width_, ' ') << '\r' << std::flush;
    width_ = 0;
  }

 private:
  std::ostream& err_;
  bool shown_;
  std::size_t total_;
  std::size_t width_ = 0;  // of the line now on the terminal
  bool drawn_ever_ = false;
  std::chrono::steady_clock::time_point last_drawn_;
};

struct FileResult {
  std::optional<std::string> output;  // nullopt: the file could not be read
  std::exception_ptr error;
};

// Reads the files on the readers' threads; `write` gets each result on this thread, in order.
template <typename Write>
void read_in_parallel(const std::vector<std::string>& files, const Printer& printer,
                      std::vector<std::unique_ptr<FileReader>>& readers, Write write) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::optional<FileResult>> slots(files.size());
  std::size_t next = 0;
  std::size_t written = 0;
  bool stop = false;
  // Readers stay this far ahead of the writer, so a slow output holds few results.
  const std::size_t window = 8 * readers.size();

  std::vector<std::jthread> threads;
  // Declared after the threads, so they are told to stop before they are joined.
  struct StopOnExit {
    std::mutex& mutex;
    std::condition_variable& changed;
    bool& stop;
    ~StopOnExit() {
      {
        const std::lock_guard lock(mutex);
        stop = true;
      }
      changed.notify_all();
    }
  } stop_on_exit{mutex, changed, stop};

  for (auto& reader : readers) {
    threads.emplace_back([&, reader = reader.get()] {
      for (;;) {
        std::size_t index = 0;
        {
          std::unique_lock lock(mutex);
          changed.wait(lock,
                       [&] { return stop || next >= files.size() || next < written + window; });
          if (stop || next >= files.size()) return;
          index = next++;
        }
        FileResult result;
        try {
          result.output = printer.print(*reader, files[index]);
        } catch (...) {
          result.error = std::current_exception();
        }
        {
          const std::lock_guard lock(mutex);
          slots[index] = std::move(result);
        }
        changed.notify_all();
      }
    });
  }
  for (std::size_t k = 0; k < files.size(); ++k) {
    FileResult result;
    {
      std::unique_lock lock(mutex);
      changed.wait(lock, [&] { return slots[k].has_value(); });
      result = std::move(*slots[k]);
      slots[k].reset();
      written = k + 1;
    }
    changed.notify_all();
    if (result.error) std::rethrow_exception(result.error);
    write(k, result.output);
  }
}

}  // namespace

int RunTunlex(const Options& options, MacroBackend& backend, std::ostream& out, std::ostream& err,
              bool out_is_terminal, bool err_is_terminal) {
  if (options.param_dialog) return RunParamDialog(options, backend, out, err);
  if (options.setup_dialog) return RunSetupDialog(options, backend, err);
  const bool utf8 =
      options.encoding == Encoding::Utf8 || (options.encoding == Encoding::Auto && out_is_terminal);

  // A file named on the command line is read whatever its name.
  bool all_read = true;
  std::vector<std::string> files;
  for (const std::string& path : options.files) {
    if (backend.is_folder(path)) {
      all_read = add_folder(path, options.recursive, backend, utf8, err, files) && all_read;
    } else {
      files.push_back(path);
    }
  }

  backend.init(options.ini_path.value_or(""), options.section);
  const Printer printer{options, backend, utf8};
  Progress progress(err, err_is_terminal, files.size());
  const auto write = [&](std::size_t index, const std::optional<std::string>& output) {
    if (output) {
      if (out_is_terminal) progress.clear();
      out << *output;
      if (out_is_terminal) out.flush();
    } else {
      progress.clear();
      err << "tunlex: cannot read '" << backend.display_path(files[index], utf8) << "'\n";
      all_read = false;
    }
    progress.update(index + 1);
  };

  std::vector<std::unique_ptr<FileReader>> readers;
  // More threads than reads in flight help nothing.
  constexpr std::size_t kMaxThreads = 64;
  const auto threads =
      std::min({static_cast<std::size_t>(options.jobs), files.size(), kMaxThreads});
  for (std::size_t i = 0; threads > 1 && i < threads; ++i) {
    auto reader = backend.new_reader();
    if (!reader) {
      readers.clear();
      break;
    }
    readers.push_back(std::move(reader));
  }
  if (readers.empty()) {
    for (std::size_t i = 0; i < files.size(); ++i) write(i, printer.print(backend, files[i]));
  } else {
    read_in_parallel(files, printer, readers, write);
  }
  readers.clear();
  progress.clear();
  backend.term();
  return all_read ? 0 : 1;
}

int TunlexMain(const std::vector<std::string>& args, const BackendOpener& open_backend,
               bool out_is_terminal, bool err_is_terminal) {
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
    return RunTunlex(*parsed.options, *backend, std::cout, std::cerr, out_is_terminal,
                     err_is_terminal);
  } catch (const std::exception& error) {
    std::cerr << "tunlex: " << error.what() << "\n";
    return 3;
  }
}

}  // namespace host
