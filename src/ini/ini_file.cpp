#include "ini/ini_file.h"

#include <list>
#include <unordered_map>
#include <utility>
#include <vector>

#include "text/shift_jis.h"

namespace ini {
namespace {

// Blanks as the class library's Trim sees them: every byte up to 0x20. No Shift-JIS trail byte
// lies in that range, so trimming never splits a character.
bool is_blank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

struct Line {
  // The line as read, within the file's contents kept by IniFile::Data, or as last written.
  // Lines read are not copied one by one: a large file loads with few allocations.
  std::string_view source;
  std::optional<std::string> written;
  bool is_key = false;
  bool shadowed = false;  // a later line of a key already present in the section
  // Where the trimmed key and value lie within text() (key lines only).
  std::size_t key_begin = 0, key_size = 0, value_begin = 0, value_size = 0;

  std::string_view text() const { return written ? std::string_view(*written) : source; }
  std::string_view key() const { return text().substr(key_begin, key_size); }
  std::string_view value() const { return text().substr(value_begin, value_size); }
};

// A line of the form "key=value" with the key and value located in it; nullopt without "=".
std::optional<Line> make_key_line(std::string_view text) {
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  const std::string_view key = trim(text.substr(0, equals));
  const std::string_view value = trim(text.substr(equals + 1));
  Line line;
  line.source = text;
  line.is_key = true;
  line.key_begin = static_cast<std::size_t>(key.data() - text.data());
  line.key_size = key.size();
  line.value_begin = static_cast<std::size_t>(value.data() - text.data());
  line.value_size = value.size();
  return line;
}

// A key line as written: "key=value", with the key as given.
Line written_key_line(std::string_view key, std::string_view value) {
  Line line;
  line.written.emplace();
  line.written->reserve(key.size() + 1 + value.size());
  line.written->append(key).append(1, '=').append(value);
  line.is_key = true;
  line.key_size = key.size();
  line.value_begin = key.size() + 1;
  line.value_size = value.size();
  return line;
}

using LineIt = std::list<Line>::iterator;

struct Section {
  std::optional<std::string> header;  // the "[...]" line; none for the lines before any section
  std::list<Line> lines;              // a list, so the indexes below survive inserts and erases
  // Folded key name to the line that counts (the first), and the later lines of the same name
  // in file order, which take over when the first is deleted.
  std::unordered_map<std::string, LineIt> keys;
  std::unordered_map<std::string, std::vector<LineIt>> shadowed;
  std::optional<LineIt> last_key;  // the last key line, where new keys go after

  // Callers insert at the end while reading, or right after the last key line: either way
  // the new line becomes the last key line.
  void add_key_line(Line line, LineIt before) {
    const LineIt it = lines.insert(before, std::move(line));
    std::string folded = text::fold_ascii_case(it->key());
    // try_emplace leaves `folded` as it is when the name is already there.
    if (!keys.try_emplace(folded, it).second) {
      it->shadowed = true;
      shadowed[std::move(folded)].push_back(it);
    }
    last_key = it;
  }
};

// A section line: first non-blank "[" and a "]" after it. Returns the trimmed name.
std::optional<std::string_view> section_name(std::string_view trimmed) {
  if (!trimmed.starts_with('[')) return std::nullopt;
  const std::size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(trimmed.substr(1, close - 1));
}

}  // namespace

struct IniFile::Data {
  std::string contents;  // the file as read: the lines read point into it
  // sections[0] holds the lines before the first section line; it is never looked up.
  std::vector<std::unique_ptr<Section>> sections;
  std::unordered_map<std::string, Section*> index;  // folded name to the first such section

  Data() { sections.push_back(std::make_unique<Section>()); }

  Section* find_section(std::string_view name) const {
    const auto it = index.find(text::fold_ascii_case(name));
    return it == index.end() ? nullptr : it->second;
  }

  Section& add_section(std::string header, std::string_view name) {
    Section& section = *sections.emplace_back(std::make_unique<Section>());
    section.header = std::move(header);
    index.try_emplace(text::fold_ascii_case(name), &section);
    return section;
  }

  const Line* find_line(std::string_view section_name, std::string_view key) const {
    const Section* section = find_section(section_name);
    if (!section) return nullptr;
    const auto it = section->keys.find(text::fold_ascii_case(key));
    return it == section->keys.end() ? nullptr : &*it->second;
  }

  // The file's last line, if any: a section's header counts when the section has no lines.
  std::optional<std::string_view> last_line() const {
    for (auto it = sections.rbegin(); it != sections.rend(); ++it) {
      if (!(*it)->lines.empty()) return (*it)->lines.back().text();
      if ((*it)->header) return *(*it)->header;
    }
    return std::nullopt;
  }
};

IniFile::IniFile() : data_(std::make_unique<Data>()) {}
IniFile::~IniFile() = default;
IniFile::IniFile(IniFile&&) noexcept = default;
IniFile& IniFile::operator=(IniFile&&) noexcept = default;

IniFile IniFile::parse(std::string_view contents) {
  IniFile file;
  Data& data = *file.data_;
  data.contents.assign(contents);
  std::string_view rest = data.contents;
  Section* current = data.sections.front().get();
  bool in_section = false;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view raw = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    // A CR before the LF belongs to the line end; so does one that ends the last line.
    if (raw.ends_with('\r')) raw.remove_suffix(1);

    const std::string_view trimmed = trim(raw);
    if (const auto name = section_name(trimmed)) {
      current = &data.add_section(std::string(raw), *name);
      in_section = true;
      continue;
    }
    if (in_section && !trimmed.starts_with(';')) {
      if (auto line = make_key_line(raw)) {
        current->add_key_line(std::move(*line), current->lines.end());
        continue;
      }
    }
    current->lines.emplace_back().source = raw;
  }
  return file;
}

IniFile IniFile::load(fileio::FileSystem& files, std::string_view path) {
  const auto contents = files.read_whole_file(path);
  return contents ? parse(*contents) : IniFile();
}

std::optional<std::string> IniFile::find(std::string_view section, std::string_view key) const {
  const Line* line = data_->find_line(section, key);
  if (!line) return std::nullopt;
  return std::string(line->value());
}

std::string IniFile::read_string(std::string_view section, std::string_view key,
                                 std::string_view default_value) const {
  const Line* line = data_->find_line(section, key);
  return std::string(line ? line->value() : default_value);
}

std::int32_t IniFile::read_integer(std::string_view section, std::string_view key,
                                   std::int32_t default_value) const {
  const Line* line = data_->find_line(section, key);
  if (!line) return default_value;
  return parse_integer(line->value()).value_or(default_value);
}

std::vector<std::string> IniFile::keys(std::string_view section_name) const {
  std::vector<std::string> names;
  const Section* section = data_->find_section(section_name);
  if (!section) return names;
  names.reserve(section->keys.size());
  for (const Line& line : section->lines) {
    if (line.is_key && !line.shadowed) names.emplace_back(line.key());
  }
  return names;
}

void IniFile::write_string(std::string_view section_name, std::string_view key,
                           std::string_view value) {
  Section* section = data_->find_section(section_name);
  if (!section) {
    const auto last = data_->last_line();
    if (last && !trim(*last).empty()) data_->sections.back()->lines.emplace_back();
    std::string header;
    header.reserve(section_name.size() + 2);
    header.append(1, '[').append(section_name).append(1, ']');
    section = &data_->add_section(std::move(header), section_name);
  }

  if (const auto it = section->keys.find(text::fold_ascii_case(key)); it != section->keys.end()) {
    // Rewritten in place; the key keeps the spelling the file gave it.
    Line& line = *it->second;
    line = written_key_line(line.key(), value);
    return;
  }

  // After the last key line, so that blank and comment lines closing the section stay last;
  // in a section without keys, right after its section line.
  section->add_key_line(written_key_line(key, value),
                        section->last_key ? std::next(*section->last_key) : section->lines.begin());
}

void IniFile::delete_key(std::string_view section_name, std::string_view key) {
  Section* section = data_->find_section(section_name);
  if (!section) return;
  const std::string folded = text::fold_ascii_case(key);
  const auto found = section->keys.find(folded);
  if (found == section->keys.end()) return;
  const LineIt doomed = found->second;

  // A later line of the same name becomes the one that counts.
  if (const auto later = section->shadowed.find(folded); later != section->shadowed.end()) {
    found->second = later->second.front();
    found->second->shadowed = false;
    later->second.erase(later->second.begin());
    if (later->second.empty()) section->shadowed.erase(later);
  } else {
    section->keys.erase(found);
  }

  if (section->last_key == doomed) {
    section->last_key.reset();
    for (auto it = doomed; it != section->lines.begin();) {
      --it;
      if (it->is_key) {
        section->last_key = it;
        break;
      }
    }
  }
  section->lines.erase(doomed);
}

std::string IniFile::serialize() const {
  std::size_t size = 0;
  for (const auto& section : data_->sections) {
    if (section->header) size += section->header->size() + 2;
    for (const Line& line : section->lines) size += line.text().size() + 2;
  }
  std::string out;
  out.reserve(size);
  for (const auto& section : data_->sections) {
    if (section->header) out.append(*section->header).append("\r\n");
    for (const Line& line : section->lines) out.append(line.text()).append("\r\n");
  }
  return out;
}

bool IniFile::save(fileio::FileSystem& files, std::string_view path) const {
  return files.replace_file(path, serialize());
}

}  // namespace ini
