// JSON for the tests: a strict parser and a validator for the part of JSON Schema (draft 2020-12) that
// the schemas of docs/ use: boolean schemas, type (one name or a list), const, enum, properties,
// required, additionalProperties, items, minimum, maximum, allOf, anyOf, oneOf and "$ref" to
// "#/$defs/NAME". Annotations (title, description, $id, $schema) are ignored; any other keyword is
// reported, so a schema cannot quietly rely on something this validator does not check.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace zorva::test {

struct JsonValue;
using JsonObject = std::map<std::string, JsonValue>;
using JsonArray = std::vector<JsonValue>;

struct JsonValue {
    std::variant<std::nullptr_t, bool, double, std::string, std::shared_ptr<JsonArray>,
                 std::shared_ptr<JsonObject>>
        data;
    bool is_integer = false;  // a number written without fraction or exponent

    bool is_null() const { return std::holds_alternative<std::nullptr_t>(data); }
    bool is_bool() const { return std::holds_alternative<bool>(data); }
    bool is_number() const { return std::holds_alternative<double>(data); }
    bool is_string() const { return std::holds_alternative<std::string>(data); }
    bool is_array() const { return std::holds_alternative<std::shared_ptr<JsonArray>>(data); }
    bool is_object() const { return std::holds_alternative<std::shared_ptr<JsonObject>>(data); }
    bool boolean() const { return std::get<bool>(data); }
    double number() const { return std::get<double>(data); }
    const std::string& string() const { return std::get<std::string>(data); }
    const JsonArray& array() const { return *std::get<std::shared_ptr<JsonArray>>(data); }
    const JsonObject& object() const { return *std::get<std::shared_ptr<JsonObject>>(data); }

    // The member `key` of an object, or null when there is none (or this is no object).
    const JsonValue* find(const std::string& key) const {
        if (!is_object()) return nullptr;
        const auto at = object().find(key);
        return at == object().end() ? nullptr : &at->second;
    }
    const JsonValue& operator[](const std::string& key) const {
        static const JsonValue kNull;
        const JsonValue* member = find(key);
        return member ? *member : kNull;
    }
    const JsonValue& operator[](std::size_t index) const { return array().at(index); }
};

bool operator==(const JsonValue& a, const JsonValue& b);

inline bool operator==(const JsonValue& a, const JsonValue& b) {
    if (a.data.index() != b.data.index()) return false;
    if (a.is_array()) {
        if (a.array().size() != b.array().size()) return false;
        for (std::size_t i = 0; i < a.array().size(); ++i)
            if (!(a.array()[i] == b.array()[i])) return false;
        return true;
    }
    if (a.is_object()) {
        if (a.object().size() != b.object().size()) return false;
        for (const auto& [key, value] : a.object()) {
            const JsonValue* other = b.find(key);
            if (!other || !(value == *other)) return false;
        }
        return true;
    }
    return a.data == b.data;
}

// Parses one JSON document (RFC 8259, whitespace around it allowed). False with `error` set when the text
// is not exactly one valid document.
class JsonParser {
public:
    static bool parse(std::string_view text, JsonValue& value, std::string& error) {
        JsonParser parser(text);
        if (!parser.value(value, 0)) {
            error = parser.error_ + " at byte " + std::to_string(parser.at_);
            return false;
        }
        parser.space();
        if (parser.at_ != text.size()) {
            error = "text after the document at byte " + std::to_string(parser.at_);
            return false;
        }
        return true;
    }

private:
    explicit JsonParser(std::string_view text) : text_(text) {}

    bool fail(const char* why) {
        if (error_.empty()) error_ = why;
        return false;
    }
    void space() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }
    bool literal(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return fail("unknown word");
        at_ += word.size();
        return true;
    }

    bool value(JsonValue& out, int depth) {
        if (depth > 200) return fail("nested too deeply");
        space();
        if (at_ >= text_.size()) return fail("a value is missing");
        const char c = text_[at_];
        if (c == '{') return object(out, depth);
        if (c == '[') return array(out, depth);
        if (c == '"') {
            std::string s;
            if (!string(s)) return false;
            out.data = std::move(s);
            return true;
        }
        if (c == 't') return literal("true") && (out.data = true, true);
        if (c == 'f') return literal("false") && (out.data = false, true);
        if (c == 'n') return literal("null") && (out.data = nullptr, true);
        return number(out);
    }

    bool number(JsonValue& out) {
        const std::size_t start = at_;
        bool integer = true;
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        if (at_ >= text_.size() || !isdigit(text_[at_])) return fail("not a value");
        if (text_[at_] == '0') {
            ++at_;
        } else {
            while (at_ < text_.size() && isdigit(text_[at_])) ++at_;
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            integer = false;
            ++at_;
            if (at_ >= text_.size() || !isdigit(text_[at_])) return fail("a digit must follow the point");
            while (at_ < text_.size() && isdigit(text_[at_])) ++at_;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            integer = false;
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (at_ >= text_.size() || !isdigit(text_[at_])) return fail("a digit must follow the exponent");
            while (at_ < text_.size() && isdigit(text_[at_])) ++at_;
        }
        out.data = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
        out.is_integer = integer;
        return true;
    }

    static bool isdigit(char c) { return c >= '0' && c <= '9'; }

    bool hex4(unsigned& code) {
        if (at_ + 4 > text_.size()) return fail("a \\u escape is cut short");
        code = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[at_++];
            code <<= 4;
            if (h >= '0' && h <= '9')
                code |= static_cast<unsigned>(h - '0');
            else if (h >= 'a' && h <= 'f')
                code |= static_cast<unsigned>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F')
                code |= static_cast<unsigned>(h - 'A' + 10);
            else
                return fail("a \\u escape needs four hex digits");
        }
        return true;
    }

    static void append_utf8(std::string& s, unsigned code) {
        if (code < 0x80) {
            s += static_cast<char>(code);
        } else if (code < 0x800) {
            s += static_cast<char>(0xC0 | (code >> 6));
            s += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            s += static_cast<char>(0xE0 | (code >> 12));
            s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (code >> 18));
            s += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    // Strings are checked to be UTF-8 and are kept as UTF-8.
    bool string(std::string& out) {
        ++at_;  // the opening quote
        while (true) {
            if (at_ >= text_.size()) return fail("a string is not closed");
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c == '"') {
                ++at_;
                return true;
            }
            if (c < 0x20) return fail("a control character in a string");
            if (c == '\\') {
                ++at_;
                if (at_ >= text_.size()) return fail("an escape is cut short");
                const char e = text_[at_++];
                switch (e) {
                    case '"':
                        out += '"';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    case '/':
                        out += '/';
                        break;
                    case 'b':
                        out += '\b';
                        break;
                    case 'f':
                        out += '\f';
                        break;
                    case 'n':
                        out += '\n';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case 'u': {
                        unsigned code = 0;
                        if (!hex4(code)) return false;
                        if (code >= 0xD800 && code < 0xDC00) {
                            unsigned low = 0;
                            if (text_.substr(at_, 2) != "\\u") return fail("a lone high surrogate");
                            at_ += 2;
                            if (!hex4(low) || low < 0xDC00 || low > 0xDFFF)
                                return fail("a bad surrogate pair");
                            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                        } else if (code >= 0xDC00 && code < 0xE000) {
                            return fail("a lone low surrogate");
                        }
                        append_utf8(out, code);
                        break;
                    }
                    default:
                        return fail("an unknown escape");
                }
                continue;
            }
            // A UTF-8 sequence, copied as it is once its shape is checked.
            const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
            if (extra < 0 || at_ + static_cast<std::size_t>(extra) >= text_.size())
                return fail("a string is not UTF-8");
            out += static_cast<char>(c);
            ++at_;
            for (int i = 0; i < extra; ++i, ++at_) {
                if ((static_cast<unsigned char>(text_[at_]) & 0xC0) != 0x80)
                    return fail("a string is not UTF-8");
                out += text_[at_];
            }
        }
    }

    bool array(JsonValue& out, int depth) {
        ++at_;
        auto items = std::make_shared<JsonArray>();
        space();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            out.data = items;
            return true;
        }
        while (true) {
            JsonValue item;
            if (!value(item, depth + 1)) return false;
            items->push_back(std::move(item));
            space();
            if (at_ >= text_.size()) return fail("an array is not closed");
            if (text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (text_[at_] != ']') return fail("',' or ']' expected");
            ++at_;
            out.data = items;
            return true;
        }
    }

    bool object(JsonValue& out, int depth) {
        ++at_;
        auto members = std::make_shared<JsonObject>();
        space();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            out.data = members;
            return true;
        }
        while (true) {
            space();
            if (at_ >= text_.size() || text_[at_] != '"') return fail("a member name expected");
            std::string key;
            if (!string(key)) return false;
            space();
            if (at_ >= text_.size() || text_[at_] != ':') return fail("':' expected");
            ++at_;
            JsonValue member;
            if (!value(member, depth + 1)) return false;
            if (!members->emplace(key, std::move(member)).second) return fail("a member name is repeated");
            space();
            if (at_ >= text_.size()) return fail("an object is not closed");
            if (text_[at_] == ',') {
                ++at_;
                continue;
            }
            if (text_[at_] != '}') return fail("',' or '}' expected");
            ++at_;
            out.data = members;
            return true;
        }
    }

    std::string_view text_;
    std::size_t at_ = 0;
    std::string error_;
};

// Validates documents against one schema. Each failure is one line: the JSON pointer of the value, then
// what is wrong.
class JsonSchemaValidator {
public:
    explicit JsonSchemaValidator(JsonValue schema) : schema_(std::move(schema)) {}

    std::vector<std::string> validate(const JsonValue& document) const {
        std::vector<std::string> errors;
        check(schema_, document, "", errors);
        return errors;
    }

private:
    const JsonValue& resolve(const std::string& ref, const std::string& where,
                             std::vector<std::string>& errors) const {
        static const JsonValue kFalse = [] {
            JsonValue v;
            v.data = false;
            return v;
        }();
        const std::string prefix = "#/$defs/";
        if (ref.rfind(prefix, 0) == 0) {
            if (const JsonValue* defs = schema_.find("$defs"))
                if (const JsonValue* target = defs->find(ref.substr(prefix.size()))) return *target;
        }
        errors.push_back(where + ": the schema's $ref " + ref + " leads nowhere");
        return kFalse;
    }

    static bool has_type(const JsonValue& value, const std::string& type) {
        if (type == "null") return value.is_null();
        if (type == "boolean") return value.is_bool();
        if (type == "number") return value.is_number();
        if (type == "integer") return value.is_number() && value.is_integer;
        if (type == "string") return value.is_string();
        if (type == "array") return value.is_array();
        if (type == "object") return value.is_object();
        return false;
    }

    void check(const JsonValue& schema, const JsonValue& value, const std::string& where,
               std::vector<std::string>& errors) const {
        const std::string at = where.empty() ? "/" : where;
        if (schema.is_bool()) {
            if (!schema.boolean()) errors.push_back(at + ": no value is allowed here");
            return;
        }
        if (!schema.is_object()) {
            errors.push_back(at + ": the schema is neither an object nor a boolean");
            return;
        }
        static const std::set<std::string> kKnown = {
            "$schema", "$id",     "title",   "description", "$defs",    "$ref",
            "type",    "const",   "enum",    "properties",  "required", "additionalProperties",
            "items",   "minimum", "maximum", "allOf",       "anyOf",    "oneOf"};
        for (const auto& [keyword, ignored] : schema.object())
            if (!kKnown.count(keyword))
                errors.push_back(at + ": the schema uses the unsupported keyword " + keyword);

        if (const JsonValue* ref = schema.find("$ref"))
            check(resolve(ref->string(), at, errors), value, where, errors);
        if (const JsonValue* type = schema.find("type")) {
            bool ok = false;
            if (type->is_string()) {
                ok = has_type(value, type->string());
            } else {
                for (const JsonValue& name : type->array()) ok = ok || has_type(value, name.string());
            }
            if (!ok) {
                errors.push_back(at + ": wrong type");
                return;
            }
        }
        if (const JsonValue* constant = schema.find("const"); constant && !(*constant == value))
            errors.push_back(at + ": not the constant value the schema requires");
        if (const JsonValue* choices = schema.find("enum")) {
            bool found = false;
            for (const JsonValue& choice : choices->array()) found = found || choice == value;
            if (!found)
                errors.push_back(at + ": not one of the allowed values" +
                                 (value.is_string() ? " (\"" + value.string() + "\")" : std::string()));
        }
        if (value.is_number()) {
            if (const JsonValue* minimum = schema.find("minimum");
                minimum && value.number() < minimum->number())
                errors.push_back(at + ": below the minimum");
            if (const JsonValue* maximum = schema.find("maximum");
                maximum && value.number() > maximum->number())
                errors.push_back(at + ": above the maximum");
        }
        if (value.is_object()) {
            if (const JsonValue* required = schema.find("required")) {
                for (const JsonValue& name : required->array())
                    if (!value.find(name.string()))
                        errors.push_back(at + ": the member " + name.string() + " is missing");
            }
            const JsonValue* properties = schema.find("properties");
            const JsonValue* additional = schema.find("additionalProperties");
            for (const auto& [key, member] : value.object()) {
                const JsonValue* property = properties ? properties->find(key) : nullptr;
                if (property)
                    check(*property, member, where + "/" + key, errors);
                else if (additional)
                    check(*additional, member, where + "/" + key, errors);
            }
        }
        if (value.is_array()) {
            if (const JsonValue* items = schema.find("items")) {
                for (std::size_t i = 0; i < value.array().size(); ++i)
                    check(*items, value.array()[i], where + "/" + std::to_string(i), errors);
            }
        }
        if (const JsonValue* all = schema.find("allOf"))
            for (const JsonValue& part : all->array()) check(part, value, where, errors);
        const auto matching = [&](const JsonValue& parts) {
            std::size_t count = 0;
            for (const JsonValue& part : parts.array()) {
                std::vector<std::string> part_errors;
                check(part, value, where, part_errors);
                if (part_errors.empty()) ++count;
            }
            return count;
        };
        if (const JsonValue* any = schema.find("anyOf"); any && matching(*any) == 0)
            errors.push_back(at + ": matches none of anyOf");
        if (const JsonValue* one = schema.find("oneOf")) {
            const std::size_t count = matching(*one);
            if (count != 1) {
                errors.push_back(at + ": matches " + std::to_string(count) + " of oneOf, not exactly one");
                // The reasons of the part the document names, for a readable failure.
                for (const JsonValue& part : one->array()) {
                    std::vector<std::string> part_errors;
                    check(part, value, where, part_errors);
                    if (part_errors.size() < 10)
                        for (const std::string& line : part_errors) errors.push_back("  " + line);
                }
            }
        }
    }

    JsonValue schema_;
};

}  // namespace zorva::test
