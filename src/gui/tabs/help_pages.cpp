#include "tabs/help_pages.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>

#include "stats/stat.h"
#include "stats/stat_list.h"
#include "stats/stat_rows.h"

namespace vexa::gui {
namespace {

std::string Escape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '&': out += "&amp;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// What the methods of a family count, keyed by the group id.
const std::map<std::string, const char*>& FamilyTexts() {
  static const std::map<std::string, const char*> texts{
      {"num", "Методы группы считают сами числа тиража или их простые свойства: какие числа выпали, сколько "
              "среди них чётных, малых, простых, какое число стоит на данной позиции. У тиража обычно несколько "
              "значений (например, шесть чисел), и каждое учитывается отдельно."},
      {"sum", "Методы группы складывают числа тиража (все, часть или с весами) и считают, как часто встречается "
              "каждая сумма. Значение одно на тираж."},
      {"dif", "Методы группы смотрят на разности между числами тиража: между соседями, наибольшую, наименьшую "
              "и т. п."},
      {"grp", "Числа 1..45 делятся на каналы (группы подряд идущих чисел, размер канала задан в параметрах "
              "программы). Методы считают, в какие каналы попали числа тиража и сколько их в каждом."},
      {"mtx", "Числа раскладываются в матрицу с заданным в параметрах числом столбцов. Методы считают строки и "
              "столбцы матрицы, занятые числами тиража."},
      {"sgm", "Числа делятся на сегменты, заданные в параметрах программы (таблица сегментов). Методы считают "
              "распределение чисел тиража по сегментам."},
      {"seq", "Методы группы ищут в тираже последовательности подряд идущих чисел и считают их длины."},
      {"rep", "Методы группы сравнивают тираж с предыдущими: сколько чисел повторилось, какие пары и тройки "
              "уже выпадали."},
      {"ser", "Методы группы описывают серии: сколько тиражей подряд число выпадало или не выпадало."},
      {"per", "Методы группы считают периоды: сколько тиражей прошло с последнего выпадения числа."},
      {"mov", "Методы группы описывают смещение чисел относительно предыдущего тиража."},
      {"ogn", "Методы группы построены на цепочках и сочетаниях чисел внутри тиража."},
      {"shr", "Методы шинковки вычисляют формулу пользователя над числами тиража (n1..n6 — числа текущего "
              "тиража, p1..p6 — предыдущего) и округляют результат до заданного числа знаков. Формулы "
              "задаются командой «Файл — Формулы шинковки»."},
  };
  return texts;
}

const char* ColumnsText =
    "<h2>Как читать столбцы списка</h2><ul>"
    "<li><b>Значение</b> — значение метода;</li>"
    "<li><b>Количество</b>, <b>Кол-во в %</b> — сколько раз значение встретилось в окне тиражей и его доля;</li>"
    "<li><b>Норма</b>, <b>Отклонение</b>, <b>Откл-ие в %</b> — ожидаемое количество по полному набору "
    "комбинаций и отличие от него (только при сравнении с полным набором и только для методов вида N);</li>"
    "<li><b>Глубина</b>, <b>Глубина в %</b> — сколько тиражей назад значение встретилось последний раз;</li>"
    "<li><b>Вес</b> — общая оценка значения по коэффициентам весов из параметров программы;</li>"
    "<li><b>Посл. тираж</b> — номер последнего тиража со значением;</li>"
    "<li><b>Период min</b>, <b>Период</b>, <b>Период max</b> — наименьший, средний и наибольший промежуток между "
    "выпадениями;</li>"
    "<li><b>Ожд. ПРД</b>, <b>Ожд. СТФ</b>, <b>Ожд. КРН</b> — ожидаемый номер тиража следующего выпадения по трём "
    "оценкам;</li>"
    "<li><b>Факт</b>, <b>+/- ПРД</b>, <b>+/- СТФ</b>, <b>+/- КРН</b> — первый тираж после окна со значением (при "
    "смещении назад) и ошибки трёх оценок.</li></ul>";

const char* FilterText =
    "<h2>Фильтр по значениям</h2><p>Выделите строки списка и нажмите «Оставить выделенные» (F7): в списке "
    "комбинаций останутся только комбинации, у которых есть хотя бы одно из выделенных значений, если считать "
    "комбинацию следующим тиражом. «Удалить выделенные» (Ctrl+F7) удаляет именно их. Каждый фильтр добавляет "
    "строку в журнал под списком комбинаций; «Отменить» (Ctrl+Z) возвращает список до последнего фильтра.</p>";

}  // namespace

std::vector<std::string> HelpExampleValues(const TStatList& list, int methodIndex) {
  std::vector<std::string> values;
  if (list.Draws().empty()) return values;
  const auto stat = list.CreateStat(methodIndex);
  TStatRowsParams params;
  params.WindowLength = 1;
  const TStatRows rows = RecalculateStat(*stat, list.Config.Cdl, params, nullptr);
  for (const TStatRow& r : rows.Rows)
    if (r.Rec.Hits > 0) values.push_back(r.Texts[scValue]);
  return values;
}

std::string HelpPageHtml(const TStatList& list, const std::string& topic) {
  std::vector<int> methods;
  for (int i = 0; i < list.Count(); ++i)
    if (HelpTopicFor(*list.Items(i).StatClass, list.Items(i).Param) == topic) methods.push_back(i);
  if (methods.empty()) throw std::runtime_error("no method has the help topic " + topic);
  const TStatMethod& first = list.Items(methods.front());
  const TStatClass& cls = *first.StatClass;
  std::string h = "<!DOCTYPE html>\n<html lang=\"ru\"><head><meta charset=\"utf-8\"><title>" +
                  Escape(first.DefaultName()) + "</title></head><body>\n";
  h += "<h1>" + Escape(first.DefaultName()) + "</h1>\n";
  h += "<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">";
  h += "<tr><td>Код</td><td>" + Escape(methods.size() == 1 ? first.Code() : std::string(cls.Code)) + "</td></tr>";
  h += "<tr><td>Группа</td><td>" + Escape(GroupHeading(cls.Group)) + "</td></tr>";
  const std::string kinds = KindMarks(StatFlags(cls));
  h += "<tr><td>Особенности</td><td>" + Escape(kinds.empty() ? std::string("-") : kinds) + "</td></tr>";
  if (cls.HasParam) {
    int low = 0, high = 0;
    ParamRangeOf(cls, list, low, high);
    h += "<tr><td>Параметр</td><td>от " + std::to_string(low) + " до " + std::to_string(high) +
         " (при текущих параметрах программы)</td></tr>";
  }
  h += "<tr><td>Сравнение с полным набором</td><td>" +
       std::string(IsFullSetComputable(cls) ? "да" : "нет") + "</td></tr></table>\n";
  const auto family = FamilyTexts().find(GroupId(cls.Group));
  if (family != FamilyTexts().end()) h += "<h2>Что считает метод</h2><p>" + std::string(family->second) + "</p>\n";
  h += "<p>Для тиража метод берёт его шесть основных чисел; для комбинации — её числа, как если бы она была "
       "следующим тиражом после окна.</p>\n";
  if (cls.HasParam)
    h += "<p>Параметр выбирает вариант метода: у каждого значения параметра свой код и своё название в "
         "списке методов.</p>\n";
  if (!list.Draws().empty()) {
    const TDraw& last = list.Draws().back();
    std::string nums;
    for (uint8_t n : last.Nums) nums += (nums.empty() ? "" : " ") + std::to_string(n);
    h += "<h2>Пример</h2><p>Тираж № " + std::to_string(last.Number) + " с числами " + nums +
         " (демонстрационный архив) даёт значения:</p>\n<table border=\"1\" cellpadding=\"3\" cellspacing=\"0\">"
         "<tr><th>Код</th><th>Метод</th><th>Значения</th></tr>\n";
    for (int i : methods) {
      std::string joined;
      for (const std::string& v : HelpExampleValues(list, i)) joined += (joined.empty() ? "" : "; ") + v;
      h += "<tr><td>" + Escape(list.Items(i).Code()) + "</td><td>" + Escape(list.Items(i).DefaultName()) +
           "</td><td class=\"values\">" + Escape(joined) + "</td></tr>\n";
    }
    h += "</table>\n";
  }
  h += std::string(FilterText) + "\n" + ColumnsText + "\n";
  h += "<p><a href=\"index.html\">Руководство пользователя</a></p>\n</body></html>\n";
  return h;
}

int WriteHelpPages(const TStatList& list, const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> topics;
  for (int i = 0; i < list.Count(); ++i) {
    const std::string t = HelpTopicFor(*list.Items(i).StatClass, list.Items(i).Param);
    if (std::find(topics.begin(), topics.end(), t) == topics.end()) topics.push_back(t);
  }
  for (const std::string& t : topics) {
    const std::filesystem::path file = folder / ("Filters_1049_" + t + ".htm");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << HelpPageHtml(list, t);
    if (!out) throw std::runtime_error("cannot write " + file.string());
  }
  return static_cast<int>(topics.size());
}

}  // namespace vexa::gui
