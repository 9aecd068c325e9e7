// A JSON source is read by events (nlohmann/json's SAX interface): no
// document is built, so a 1 MB source costs its draws and little more. The
// path of each value below its draw object (`prize.box`, `digits[]`) says
// what it is.
#include "commands/import_json.h"

#include <algorithm>
#include <nlohmann/json.hpp>
#include <optional>

#include "commands/draw_input.h"
#include "history/draw_history.h"
#include "text/utf8.h"

namespace corvalith {
namespace {

using Json = nlohmann::json;

std::u16string Widened(std::string_view ascii) {
    return std::u16string(ascii.begin(), ascii.end());
}

std::u16string Number(std::uint64_t n) { return Widened(std::to_string(n)); }

// One draw object as it is read.
struct PendingDraw {
    std::optional<std::int32_t> number;
    std::optional<CalendarDate> date;
    std::optional<ResultDigits> result;  // winning_number or result.display
    std::array<int, 4> digits{};         // digits or result.values
    std::size_t digitCount = 0;
    bool digitsBad = false;
    DrawPayouts payouts;
    std::u16string problem;  // the first value that could not be read
};

class DrawEvents : public nlohmann::json_sax<Json> {
  public:
    DrawEvents(const ImportSource& source, std::uint32_t firstLine, std::vector<SourceDraw>& draws)
        : source_(source), firstLine_(firstLine), draws_(draws) {}

    bool null() override { return Scalar(Value{}); }
    bool boolean(bool) override { return Scalar(Value{}); }
    bool number_integer(number_integer_t v) override {
        Value value;
        value.integer = v;
        return Scalar(value);
    }
    bool number_unsigned(number_unsigned_t v) override {
        Value value;
        value.integer =
            v > static_cast<std::uint64_t>(INT64_MAX) ? INT64_MAX : static_cast<std::int64_t>(v);
        return Scalar(value);
    }
    bool number_float(number_float_t, const string_t& text) override {
        Value value;
        value.text = &text;
        value.isFloat = true;
        return Scalar(value);
    }
    bool string(string_t& text) override {
        Value value;
        value.text = &text;
        value.isString = true;
        return Scalar(value);
    }
    bool binary(binary_t&) override { return Scalar(Value{}); }

    bool start_object(std::size_t) override {
        if (!Enter(false)) return false;
        if (drawDepth_ == 0 && frames_.size() == 1) drawDepth_ = 1;  // one draw object
        if (frames_.size() == drawDepth_ && drawDepth_ > 0) pending_ = PendingDraw{};
        return true;
    }
    bool key(string_t& name) override {
        frames_.back().key = name;
        return true;
    }
    bool end_object() override {
        const bool draw = frames_.size() == drawDepth_ && drawDepth_ > 0;
        Leave();
        return draw ? FinishDraw() : true;
    }
    bool start_array(std::size_t) override {
        if (!Enter(true)) return false;
        if (frames_.size() == 1) drawDepth_ = 2;  // an array of draw objects
        return true;
    }
    bool end_array() override {
        Leave();
        return true;
    }
    bool parse_error(std::size_t position, const std::string&,
                     const nlohmann::detail::exception& ex) override {
        syntaxAt_ = position;
        syntax_ = ex.what();
        return false;
    }

    std::u16string error;                  // set when a draw fails
    std::optional<std::size_t> syntaxAt_;  // byte of a syntax error
    std::string syntax_;
    bool sawDraw = false;

  private:
    struct Frame {
        bool array = false;
        std::string key;
        std::size_t index = 0;  // arrays: the index of the next element
    };
    struct Value {
        std::optional<std::int64_t> integer;
        const std::string* text = nullptr;
        bool isString = false;
        bool isFloat = false;
    };

    bool Enter(bool array) {
        if (frames_.size() >= kMaxJsonDepth) {
            error = SourceNameShown(source_) + u": JSON の入れ子が深すぎます（" +
                    Number(kMaxJsonDepth) + u" 段まで）";
            return false;
        }
        frames_.push_back({array, {}, 0});
        return true;
    }
    void Leave() {
        frames_.pop_back();
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }

    // The path of the value now read, from the draw object down (`prize.box`, `digits[]`).
    std::string Path() const {
        std::string path;
        for (std::size_t i = drawDepth_ - 1; i < frames_.size(); ++i) {
            if (i + 1 == drawDepth_ && !frames_[i].array) {
                path += frames_[i].key;
            } else if (frames_[i].array) {
                path += "[]";
            } else {
                path += (path.empty() ? "" : ".") + frames_[i].key;
            }
        }
        return path;
    }

    bool Scalar(const Value& value) {
        const bool inDraw = drawDepth_ > 0 && frames_.size() >= drawDepth_;
        if (inDraw) Read(Path(), value);
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
        return true;
    }

    std::u16string Shown(const Value& value) const {
        if (value.text != nullptr) {
            std::u16string text;
            return Utf8ToUtf16(*value.text, text) ? text : u"?";
        }
        if (value.integer) return Widened(std::to_string(*value.integer));
        return u"null";
    }

    void Problem(const std::string& path, const Value& value) {
        if (pending_.problem.empty()) {
            pending_.problem = Widened(path) + u" が読めません: " + Shown(value);
        }
    }

    std::optional<std::u16string> Text(const Value& value) const {
        std::u16string text;
        if (!value.isString || !Utf8ToUtf16(*value.text, text)) return std::nullopt;
        return text;
    }

    void Digit(const std::string& path, const Value& value) {
        std::optional<int> digit;
        if (value.integer && *value.integer >= 0 && *value.integer <= 9) {
            digit = static_cast<int>(*value.integer);
        } else if (value.isString && value.text->size() == 1 && (*value.text)[0] >= '0' &&
                   (*value.text)[0] <= '9') {
            digit = (*value.text)[0] - '0';
        }
        if (!digit || pending_.digitCount >= 4) {
            pending_.digitsBad = true;
            Problem(path, value);
            return;
        }
        pending_.digits[pending_.digitCount++] = *digit;
    }

    void Read(const std::string& path, const Value& value) {
        if (path == "draw_no") {
            if (value.integer && *value.integer >= 1 && *value.integer <= INT32_MAX) {
                pending_.number = static_cast<std::int32_t>(*value.integer);
            } else if (const auto text = Text(value); text && InputDrawOf(*text)) {
                pending_.number = InputDrawOf(*text);
            } else {
                Problem(path, value);
            }
        } else if (path == "date" || path == "draw_date") {
            const auto text = Text(value);
            const auto date = text ? InputDateOf(*text) : std::nullopt;
            if (date) {
                pending_.date = date;
            } else {
                Problem(path, value);
            }
        } else if (path == "winning_number" || path == "result.display") {
            const auto text = Text(value);
            const auto result = text ? ResultOf(*text) : std::nullopt;
            if (result) {
                pending_.result = result;
            } else {
                Problem(path, value);
            }
        } else if (path == "digits[]" || path == "result.values[]") {
            Digit(path, value);
        } else if (path.rfind("prize.", 0) == 0) {
            static constexpr std::array<std::string_view, kPayoutKindCount> kNames = {
                "straight", "box", "set_straight", "set_box"};
            const std::string_view name = std::string_view(path).substr(6);
            const auto at = std::find(kNames.begin(), kNames.end(), name);
            if (at == kNames.end()) return;
            const auto kind = static_cast<std::size_t>(at - kNames.begin());
            if (value.integer && *value.integer >= 0 && *value.integer <= kMaxPayoutYen) {
                pending_.payouts.amounts[kind] = *value.integer;
            } else if (value.integer || value.text != nullptr) {
                if (pending_.problem.empty()) pending_.problem = PayoutError(kind, Shown(value));
            }
        }
    }

    bool FinishDraw() {
        const std::size_t index = drawDepth_ == 1 ? 0 : frames_.back().index - 1;
        const std::u16string where =
            SourceNameShown(source_) + u" の" +
            (drawDepth_ == 1 ? u"" : u" " + Number(index) + u" 番目（0 から）の") + u"回: ";
        PendingDraw& draw = pending_;
        std::optional<ResultDigits> result = draw.result;
        if (!result && draw.digitCount == 4 && !draw.digitsBad) {
            ResultDigits digits{};
            for (std::size_t p = 0; p < 4; ++p) digits[p] = static_cast<char>('0' + draw.digits[p]);
            result = digits;
        }
        if (!draw.problem.empty()) {
            error = where + draw.problem;
        } else if (!draw.number) {
            error = where + u"draw_no がありません";
        } else if (!draw.date) {
            error = where + u"date（または draw_date）がありません";
        } else if (!result) {
            error = where + u"winning_number・digits・result のどれもありません（4桁の数字）";
        }
        if (!error.empty()) return false;
        if (draws_.size() >= kHistoryLimits.maxDraws) {
            error = SourceNameShown(source_) + u": 回が多すぎます";
            return false;
        }
        SourceDraw read{*draw.number, draw.date->Key(), *result, firstLine_ + 1};
        read.SetPayouts(draw.payouts);
        draws_.push_back(read);
        sawDraw = true;
        return true;
    }

    const ImportSource& source_;
    std::uint32_t firstLine_;
    std::vector<SourceDraw>& draws_;
    std::vector<Frame> frames_;
    std::size_t drawDepth_ = 0;  // frames up to and including the draw object (0: not known)
    PendingDraw pending_;
};

}  // namespace

bool LooksLikeJson(std::string_view bytes) noexcept {
    const std::size_t at = bytes.find_first_not_of(" \t\r\n");
    return at != std::string_view::npos && (bytes[at] == '[' || bytes[at] == '{');
}

std::u16string SourceNameShown(const ImportSource& source) {
    std::u16string text;
    if (!Utf8ToUtf16(source.name, text)) text = u"?";
    return text;
}

bool ReadJsonSource(const ImportSource& source, std::string_view bytes, std::uint32_t firstLine,
                    std::vector<SourceDraw>& draws, std::u16string& error) {
    if (bytes.size() > kMaxJsonSourceBytes) {
        error = SourceNameShown(source) + u": JSON が大きすぎます（" +
                Number(kMaxJsonSourceBytes >> 20) + u" MiB まで）";
        return false;
    }
    const std::size_t before = draws.size();
    DrawEvents events(source, firstLine, draws);
    const bool parsed = Json::sax_parse(bytes.begin(), bytes.end(), &events,
                                        Json::input_format_t::json, true, false);
    if (!events.error.empty()) {
        error = std::move(events.error);
        return false;
    }
    if (!parsed || events.syntaxAt_) {
        const std::size_t at = std::min(events.syntaxAt_.value_or(bytes.size()), bytes.size());
        const auto line =
            std::count(bytes.begin(), bytes.begin() + static_cast<long>(at), '\n') + 1;
        error = SourceNameShown(source) + u" の " + Number(static_cast<std::uint64_t>(line)) +
                u" 行目（" + Number(at) + u" バイト目）: JSON の書き方の誤りです";
        return false;
    }
    if (draws.size() == before && !events.sawDraw) {
        error = SourceNameShown(source) + u": JSON に抽せんの結果がありません";
        return false;
    }
    return true;
}

}  // namespace corvalith
