#include "register/generator.h"

#include <algorithm>
#include <array>
#include <map>
#include <string_view>

#include "common/cp1251.h"
#include "common/errors.h"
#include "common/numbers.h"
#include "register/tape.h"

namespace tavrelo {
namespace {

// splitmix64: tiny, fast and the same on every platform, unlike the standard distributions.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [low, high].
    std::int64_t Between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(high - low + 1));
    }
    bool Percent(int percent) { return Between(0, 99) < percent; }
    std::string Digits(int count) {
        std::string digits;
        for (int i = 0; i < count; ++i) digits += static_cast<char>('0' + Between(0, 9));
        return digits;
    }

  private:
    std::uint64_t state_;
};

struct TaxGroup {
    const char* index;  // TX
    int rate;           // hundredths of a percent
    int levy;           // hundredths of a percent; a group with a levy has TXAL 1
};
constexpr std::array<TaxGroup, 4> kTaxGroups = {{
    {"1", 2000, 0},
    {"2", 0, 0},
    {"3", 700, 0},
    {"4", 2000, 500},
}};

struct Article {
    const char* name;  // UTF-8
    const char* code;
    std::int64_t price;  // hundredths; per kilogram for weighed goods
    int group;           // index into kTaxGroups
    bool weighed;
};
constexpr std::array<Article, 20> kArticles = {{
    {"Хліб Український", "4820001", 1850, 0, false},
    {"Молоко 2,5% 900г", "4820017", 2790, 0, false},
    {"Кефір 1% 1л", "4820023", 2450, 0, false},
    {"Масло вершкове 73%", "4820036", 5690, 0, false},
    {"Сир твердий ваговий", "2100045", 28900, 0, true},
    {"Яблука Голден", "2100052", 3290, 0, true},
    {"Банани", "2100069", 4590, 0, true},
    {"Цукор 1кг", "4820078", 2390, 0, false},
    {"Вода мінеральна 1,5л", "4820085", 1590, 0, false},
    {"Кава мелена 250г", "4820092", 8990, 0, false},
    {"Чай чорний 100 пак.", "4820108", 6450, 0, false},
    {"Пакет поліетиленовий", "501", 150, 0, false},
    {"Батарейка AA 2 шт.", "4820115", 3990, 0, false},
    {"Газета Вечірній Київ", "500", 1200, 1, false},
    {"Поштова марка", "502", 900, 1, false},
    {"Аспірин 500мг N10", "4820122", 4200, 2, false},
    {"Вітамін C N20", "4820139", 7800, 2, false},
    {"Пиво світле 0,5л", "4820146", 2890, 3, false},
    {"Горілка 0,5л", "4820153", 11900, 3, false},
    {"Сигарети", "276447230", 5800, 3, false},
}};

constexpr std::array<const char*, 4> kComments = {
    "Дякуємо за покупку!",
    "Бонусна картка 0001234",
    "Акція: третій товар зі знижкою",
    "Comment for printing",
};
constexpr std::array<const char*, 2> kServiceTexts = {
    "Касир: Іваненко О.",
    "Зміна 1",
};

// The Windows-1251 texts, converted once.
struct Texts {
    std::vector<std::string> articles;
    std::vector<std::string> comments;
    std::vector<std::string> service;
    std::string cash = Utf8ToCp1251("ГРОШІ");
    std::string card = Utf8ToCp1251("КРЕДИТ");
    std::string tax_number_prefix = Utf8ToCp1251("ПН ");

    Texts() {
        for (const Article& a : kArticles) articles.push_back(Utf8ToCp1251(a.name));
        for (const char* c : kComments) comments.push_back(Utf8ToCp1251(c));
        for (const char* s : kServiceTexts) service.push_back(Utf8ToCp1251(s));
    }
};

const Texts& GetTexts() {
    static const Texts texts;
    return texts;
}

std::string Percent(int hundredths) {
    std::string text = IntToText(hundredths / 100) + ".";
    text += static_cast<char>('0' + hundredths % 100 / 10);
    text += static_cast<char>('0' + hundredths % 10);
    return text;
}

std::int64_t RoundDiv(std::int64_t numerator, std::int64_t denominator) {
    return (numerator + denominator / 2) / denominator;
}

// Days since 1970-01-01 to the civil date (the proleptic Gregorian calendar).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

void AppendTwo(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

std::string Stamp(std::int64_t seconds) {
    int year = 0, month = 0, day = 0;
    CivilFromDays(seconds / 86400, year, month, day);
    const int in_day = static_cast<int>(seconds % 86400);
    std::string out = IntToText(year);
    AppendTwo(out, month);
    AppendTwo(out, day);
    AppendTwo(out, in_day / 3600);
    AppendTwo(out, in_day / 60 % 60);
    AppendTwo(out, in_day % 60);
    return out;
}

// 2017-02-01 08:00:00 as seconds since 1970.
constexpr std::int64_t kStartSeconds = 17198LL * 86400 + 8 * 3600;

class Attributes {
  public:
    explicit Attributes(std::string& out) : out_(out) {}
    Attributes& operator()(std::string_view name, std::string_view value) {
        out_ += ' ';
        out_ += name;
        out_ += "=\"";
        out_ += value;
        out_ += '"';
        return *this;
    }
    Attributes& operator()(std::string_view name, std::int64_t value) {
        return (*this)(name, IntToText(value));
    }

  private:
    std::string& out_;
};

Attributes Attrs(std::string& out) { return Attributes(out); }

// Totals of one payment form or tax group since the last Z-report.
struct Turnover {
    std::int64_t sales = 0;
    std::int64_t returns = 0;
    std::int64_t tax_sales = 0;
    std::int64_t tax_returns = 0;
    std::int64_t levy_sales = 0;
    std::int64_t levy_returns = 0;
};

struct Period {
    std::map<int, Turnover> by_payment;  // 0 cash, 1 card
    std::map<int, Turnover> by_group;
    std::int64_t cash_in = 0;
    std::int64_t cash_out = 0;
    std::int64_t sale_receipts = 0;
    std::int64_t return_receipts = 0;

    std::int64_t Drawer() const {
        const auto cash = by_payment.find(0);
        const std::int64_t net =
            cash == by_payment.end() ? 0 : cash->second.sales - cash->second.returns;
        return cash_in - cash_out + net;
    }
};

class TapeGenerator {
  public:
    explicit TapeGenerator(std::uint64_t seed) : random_(seed), texts_(GetTexts()) {
        fiscal_number_ = "30" + random_.Digits(8);
        tax_number_ = texts_.tax_number_prefix + random_.Digits(12);
        serial_number_ = "4024" + random_.Digits(5);
        documents_until_z_ = random_.Between(150, 400);
    }

    std::string Next() {
        ++di_;
        seconds_ += random_.Between(20, 300);
        const std::string stamp = Stamp(seconds_);
        std::string out;
        out.reserve(4096);
        out += "<DAT";
        Attrs(out)("DI", di_)("DT", "0")("FN", fiscal_number_)("TN", tax_number_)("V", "1")(
            "ZN", serial_number_);
        out += '>';
        if (--documents_until_z_ <= 0) {
            AppendZReport(out);
            documents_until_z_ = random_.Between(150, 400);
        } else {
            AppendReceipt(out, stamp);
        }
        out += "<TS>";
        out += stamp;
        out += "</TS></DAT><MAC";
        Attrs(out)("DI", di_)("NT", di_);
        out += '>';
        static constexpr char kBase64[] =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 40; ++i) out += kBase64[random_.Next() % 64];
        out += "</MAC>";
        return out;
    }

  private:
    void AppendReceipt(std::string& out, const std::string& stamp) {
        const int kind = static_cast<int>(random_.Between(0, 99));
        if (kind < 4) {
            AppendServiceReceipt(out, stamp);
        } else if (kind < 9) {
            AppendSale(out, stamp, /*is_return=*/true, /*cancelled=*/false);
        } else {
            AppendSale(out, stamp, false, kind < 12);
        }
    }

    void AppendEnd(std::string& out, int n, std::int64_t total, const std::string& stamp) {
        out += "<E";
        Attrs(out)("CS", "1")("FN", fiscal_number_)("N", n)("NO", ++receipt_no_)("SM", total)(
            "TS", stamp);
    }

    void AppendServiceReceipt(std::string& out, const std::string& stamp) {
        // Cash out only what the drawer holds.
        const std::int64_t drawer = period_.Drawer();
        const bool cash_out = drawer >= 10000 && random_.Percent(50);
        const std::int64_t amount =
            cash_out ? random_.Between(1, drawer / 10000) * 10000 : random_.Between(1, 20) * 5000;
        out += "<C";
        Attrs(out)("T", "2");
        out += cash_out ? "><O" : "><I";
        Attrs(out)("N", 1)("NM", texts_.cash)("SM", amount)("T", "0");
        out += "/>";
        AppendEnd(out, 2, amount, stamp);
        out += "/></C>";
        (cash_out ? period_.cash_out : period_.cash_in) += amount;
    }

    struct GroupSum {
        std::int64_t base = 0;
        std::int64_t tax = 0;
        std::int64_t levy = 0;
    };

    void AppendSale(std::string& out, const std::string& stamp, bool is_return, bool cancelled) {
        out += "<C";
        Attrs(out)("T", is_return ? "1" : "0");
        out += '>';
        int n = 0;
        std::map<int, GroupSum> groups;
        if (!is_return && random_.Percent(20)) AppendComment(out, ++n);
        if (random_.Percent(2)) {
            out += "<H";
            Attrs(out)("N", ++n);
            out += '>';
            out += texts_.service[random_.Between(0, texts_.service.size() - 1)];
            out += "</H>";
        }
        // Mostly short receipts: the least of three draws. At most 27 lines come before the
        // payments, so that with two payments and the end a receipt has at most 30.
        constexpr int kLinesBeforePayments = 27;
        const int max_items = is_return ? 3 : 24;
        const int items =
            static_cast<int>(std::min({random_.Between(1, max_items), random_.Between(1, max_items),
                                       random_.Between(1, max_items)}));
        int last_item = 0;
        for (int i = 0; i < items && n < kLinesBeforePayments; ++i) {
            const Article& article = kArticles[random_.Between(0, kArticles.size() - 1)];
            const std::size_t which = static_cast<std::size_t>(&article - kArticles.data());
            const TaxGroup& group = kTaxGroups[article.group];
            std::int64_t quantity = 0;
            if (article.weighed) {
                quantity = random_.Between(150, 1500);
            } else if (random_.Percent(15)) {
                quantity = random_.Between(2, 6) * 1000;
            }
            const std::int64_t sum =
                quantity == 0 ? article.price : RoundDiv(quantity * article.price, 1000);
            last_item = ++n;
            out += random_.Percent(5) ? "<CP" : "<P";
            Attributes attributes(out);
            attributes("C", article.code)("N", last_item)("NM", texts_.articles[which]);
            if (quantity != 0) attributes("PRC", article.price)("Q", quantity);
            attributes("SM", sum)("TX", group.index);
            out += "/>";
            std::int64_t line = sum;
            if (!is_return && sum >= 1000 && n < kLinesBeforePayments && random_.Percent(8)) {
                line += AppendAdjustment(out, ++n, last_item, sum, group, random_.Percent(70));
            }
            groups[article.group].base += line;
        }
        if (!is_return && items > 1 && n < kLinesBeforePayments && random_.Percent(10)) {
            AppendComment(out, ++n);
        }

        std::int64_t total = 0;
        for (auto& [index, sum] : groups) {
            const TaxGroup& group = kTaxGroups[index];
            const std::int64_t divisor = 10000 + group.rate + group.levy;
            sum.tax = RoundDiv(sum.base * group.rate, divisor);
            sum.levy = RoundDiv(sum.base * group.levy, divisor);
            total += sum.base;
        }

        if (cancelled) {
            out += "<VD";
            Attrs(out)("N", ++n)("NI", last_item);
            out += "/>";
        } else {
            AppendPayments(out, n, total, is_return);
        }
        AppendEnd(out, ++n, total, stamp);
        Attributes end(out);
        const bool single = groups.size() == 1 && random_.Percent(80);
        if (single) {
            const TaxGroup& group = kTaxGroups[groups.begin()->first];
            const GroupSum& sum = groups.begin()->second;
            if (group.levy != 0) end("DTPR", Percent(group.levy))("DTSM", sum.levy);
            end("TX", group.index)("TXAL", group.levy != 0 ? "1" : "0")(
                "TXPR", Percent(group.rate))("TXSM", sum.tax)("TXTY", "0");
        }
        if (cancelled) end("VD", "1");
        if (single) {
            out += "/>";
        } else {
            out += '>';
            for (const auto& [index, sum] : groups) {
                const TaxGroup& group = kTaxGroups[index];
                out += "<TX";
                Attributes tx(out);
                if (group.levy != 0) tx("DTPR", Percent(group.levy))("DTSM", sum.levy);
                tx("TX", group.index)("TXAL", group.levy != 0 ? "1" : "0")(
                    "TXPR", Percent(group.rate))("TXSM", sum.tax)("TXTY", "0");
                out += "/>";
            }
            out += "</E>";
        }
        out += "</C>";

        if (cancelled) return;
        (is_return ? period_.return_receipts : period_.sale_receipts) += 1;
        for (const auto& [index, sum] : groups) {
            Turnover& turnover = period_.by_group[index];
            (is_return ? turnover.returns : turnover.sales) += sum.base;
            (is_return ? turnover.tax_returns : turnover.tax_sales) += sum.tax;
            (is_return ? turnover.levy_returns : turnover.levy_sales) += sum.levy;
        }
    }

    void AppendComment(std::string& out, int n) {
        out += "<L";
        Attrs(out)("N", n);
        out += '>';
        out += texts_.comments[random_.Between(0, texts_.comments.size() - 1)];
        out += "</L>";
    }

    // A discount (negative result) or markup on the item line `item`; returns the change of the
    // line's amount.
    std::int64_t AppendAdjustment(std::string& out, int n, int item, std::int64_t sum,
                                  const TaxGroup& group, bool discount) {
        const bool percent = random_.Percent(75);
        std::int64_t amount = 0;
        std::string rate;
        if (percent) {
            const int hundredths = static_cast<int>(random_.Between(1, 4)) * 500;
            amount = std::max<std::int64_t>(1, RoundDiv(sum * hundredths, 10000));
            rate = Percent(hundredths);
        } else {
            amount = random_.Between(1, sum / 1000) * 100;
            rate = IntToText(amount);
        }
        out += discount ? "<D" : "<S";
        Attrs(out)("N", n)("NI", item)("PR", rate)("SM", amount)("ST", "0")("TR", "1")(
            "TX", group.index)("TY", percent ? "1" : "0");
        out += "/>";
        return discount ? -amount : amount;
    }

    void AppendPayments(std::string& out, int& n, std::int64_t total, bool is_return) {
        const auto pay = [&](int form, std::int64_t amount, std::int64_t change) {
            out += "<M";
            Attributes attributes(out);
            attributes("N", ++n)("NM", form == 0 ? texts_.cash : texts_.card);
            if (change != 0) attributes("RM", change);
            if (form == 1) attributes("RRN", random_.Digits(12));
            attributes("SM", amount)("T", form);
            out += "/>";
            Turnover& turnover = period_.by_payment[form];
            (is_return ? turnover.returns : turnover.sales) += amount - change;
        };
        const int choice = static_cast<int>(random_.Between(0, 99));
        // A return in cash needs the cash in the drawer.
        const bool cash_possible = !is_return || period_.Drawer() >= total;
        if (choice < 65 && cash_possible) {
            std::int64_t paid = total;
            if (!is_return) {
                static constexpr std::array<std::int64_t, 4> kNotes = {100, 1000, 5000, 10000};
                const std::int64_t note = kNotes[random_.Between(0, kNotes.size() - 1)];
                if (random_.Percent(70)) paid = (total + note - 1) / note * note;
            }
            pay(0, paid, paid - total);
        } else if (choice < 95 || is_return || total < 200) {
            pay(1, total, 0);
        } else {
            const std::int64_t in_cash = std::min(random_.Between(1, total / 100) * 100, total - 1);
            pay(0, in_cash, 0);
            pay(1, total - in_cash, 0);
        }
    }

    void AppendZReport(std::string& out) {
        out += "<Z";
        Attrs(out)("NO", ++z_no_);
        out += "><IO";
        Attrs(out)("NM", texts_.cash)("SMI", period_.cash_in)("SMO", period_.cash_out)(
            "SMT", period_.Drawer())("T", "0");
        out += "/>";
        for (const auto& [form, turnover] : period_.by_payment) {
            out += "<M";
            Attrs(out)("NM", form == 0 ? texts_.cash : texts_.card)("SMI", turnover.sales)(
                "SMO", turnover.returns)("T", form);
            out += "/>";
        }
        out += "<NC";
        Attrs(out)("NI", period_.sale_receipts)("NO", period_.return_receipts);
        out += "/>";
        for (const auto& [index, turnover] : period_.by_group) {
            const TaxGroup& group = kTaxGroups[index];
            out += "<TXS";
            Attrs(out)("DTI", turnover.levy_sales)("DTO", turnover.levy_returns)(
                "DTPR", Percent(group.levy))("SMI", turnover.sales)("SMO", turnover.returns)(
                "TS", "20170101")("TX", group.index)("TXAL", group.levy != 0 ? "1" : "0")(
                "TXI", turnover.tax_sales)("TXO", turnover.tax_returns)(
                "TXPR", Percent(group.rate))("TXTY", "0");
            out += "/>";
        }
        out += "</Z>";
        period_ = Period{};
    }

    Random random_;
    const Texts& texts_;
    std::string fiscal_number_;
    std::string tax_number_;
    std::string serial_number_;
    std::int64_t di_ = 0;
    std::int64_t seconds_ = kStartSeconds;
    std::int64_t receipt_no_ = 0;
    std::int64_t z_no_ = 0;
    std::int64_t documents_until_z_ = 0;
    Period period_;
};

}  // namespace

std::vector<std::string> GenerateDocuments(std::int32_t count, std::uint64_t seed) {
    if (count < 0) throw RangeError("a tape cannot have fewer than 0 documents");
    TapeGenerator generator(seed);
    std::vector<std::string> documents;
    documents.reserve(static_cast<std::size_t>(count));
    for (std::int32_t i = 0; i < count; ++i) documents.push_back(generator.Next());
    return documents;
}

std::string GenerateTape(std::int32_t count, std::uint64_t seed) {
    if (count < 0) throw RangeError("a tape cannot have fewer than 0 documents");
    // Built in one string: a large tape would otherwise be held three times over.
    TapeGenerator generator(seed);
    std::string tape = FrameTape({});
    const std::string closing = "</RQ>\r\n";
    tape.resize(tape.size() - closing.size());
    for (std::int32_t i = 0; i < count; ++i) {
        tape += generator.Next();
        tape += "\r\n";
    }
    tape += closing;
    return tape;
}

}  // namespace tavrelo
