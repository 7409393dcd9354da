#include <ostream>

#include "cli/cli.h"
#include "core/game.h"

namespace vexa::cli {

void TTerminalUserInterface::Message(TMessageKind, std::string_view text) {
  std::string t(text);
  for (auto& c : t)
    if (c == '\r') c = '\n';
  Err_ << t << "\n";
}

std::unique_ptr<TWorkspace> OpenWorkspace(TContext& ctx) {
  auto ws = std::make_unique<TWorkspace>(ctx.DataDir, ctx.Ui);
  if (ws->Open() > 0) throw EReported();
  return ws;
}

std::string TArgs::TakeOption(const std::string& name, bool& found) {
  found = false;
  for (size_t i = 0; i < Words_.size(); ++i) {
    if (Words_[i] != name) continue;
    if (i + 1 >= Words_.size()) throw EUsageError("параметру " + name + " нужно значение");
    std::string value = Words_[i + 1];
    Words_.erase(Words_.begin() + static_cast<std::ptrdiff_t>(i), Words_.begin() + static_cast<std::ptrdiff_t>(i) + 2);
    found = true;
    return value;
  }
  return "";
}

bool TArgs::TakeFlag(const std::string& name) {
  for (size_t i = 0; i < Words_.size(); ++i) {
    if (Words_[i] == name) {
      Words_.erase(Words_.begin() + static_cast<std::ptrdiff_t>(i));
      return true;
    }
  }
  return false;
}

std::string TArgs::TakeFirst() {
  if (Words_.empty()) return "";
  std::string w = Words_.front();
  Words_.erase(Words_.begin());
  return w;
}

std::vector<std::string> TArgs::Positional() const {
  for (const auto& w : Words_)
    if (w.size() > 2 && w.rfind("--", 0) == 0) throw EUsageError("неизвестный параметр " + w);
  return Words_;
}

int TArgs::ToInt(const std::string& text, const std::string& what) {
  int32_t v = 0;
  if (!TryStrToInt(text, v)) throw EUsageError(what + ": не число: " + text);
  return v;
}

std::string Usage() {
  return "Использование: vexa [--data-dir DIR] КОМАНДА ...\n"
         "\n"
         "Папка данных: --data-dir DIR, иначе VEXA_DATA_DIR, иначе папка программы.\n"
         "\n"
         "Команды:\n"
         "  draws list [--last N] [--offset K] [--sorted]\n"
         "                       тиражи, новые первыми; итоги архива в stderr\n"
         "  draws import FILE    добавить тиражи из CSV-файла\n"
         "  draws export FILE    записать архив в CSV-файл\n"
         "  draws add NUMBER DATE \"n1;n2;n3;n4;n5;n6;s1;s2\"\n"
         "                       добавить тираж (DATE как \"5 Mar 2025\")\n"
         "  draws delete NUMBER...\n"
         "                       удалить тиражи с этими номерами\n"
         "  draws demo --count N [--seed S] [--force]\n"
         "                       создать пример архива (случайные числа)\n"
         "  draws download [--base-url URL] [--yes|--no]\n"
         "                       новые тиражи с сайта результатов, по месяцам; --yes/--no:\n"
         "                       ответ на вопрос о повторе месяца с ошибкой (иначе вопрос\n"
         "                       в терминале; --yes повторяет месяц не более 3 раз)\n"
         "  proxy show           параметры proxy-сервера загрузки тиражей\n"
         "  proxy set (off | auto | manual HOST PORT [USER PASSWORD])\n"
         "                       не использовать / искать автоматически / задать proxy\n"
         "  config show          все ключи файла настроек с действующими значениями\n"
         "  config set SECTION KEY VALUE\n"
         "                       записать один ключ файла настроек\n"
         "  stats methods        методы расчета статистики: №, код, группа, флаги,\n"
         "                       название, избранный (yes/no)\n"
         "  stats show CODE [--window N] [--offset K] [--sorted] [--prefetch]\n"
         "                       таблица статистики (окно 1000 тиражей по умолчанию);\n"
         "                       --prefetch: сравнение с полным набором комбинаций\n"
         "  stats graph CODE [--window N] [--offset K] [--sorted]\n"
         "                       значение графика метода для каждого тиража окна\n"
         "  stats info (--draw NUMBER | --comb \"n1 n2 n3 n4 n5 n6\") [--offset K] [--sorted]\n"
         "                       подробная информация о тираже или комбинации\n"
         "  fullset build [--force] [CODE...]\n"
         "                       создать недостающие файлы полного набора комбинаций\n"
         "                       (--force: создать заново)\n"
         "  combs generate [--mode M] [--params TEXT] [-o FILE.lcv]\n"
         "                       создать список комбинаций (по умолчанию из настроек),\n"
         "                       вывести их количество\n"
         "  combs filter [--in FILE.lcv] METHOD [--window N] [--offset K] [--sorted]\n"
         "               (--keep|--delete) VALUE... [-o FILE.lcv]\n"
         "                       оставить или удалить комбинации со значениями метода;\n"
         "                       вывести фильтр, значения и количество комбинаций\n"
         "  combs filter [--in FILE.lcv] (--card CELLS | --layout CELLS) [--offset K]\n"
         "               (--keep|--delete) [-o FILE.lcv]\n"
         "                       фильтр по выделению в карте или схеме: тексты ячеек,\n"
         "                       столбцы через \"|\", ячейки столбца через \";\"\n"
         "  combs find \"n1 n2 n3 n4 n5 n6\"\n"
         "                       тиражи, в которых выпадала комбинация\n"
         "  stakes list          ставки: 9 столбцов таблицы ставок\n"
         "  stakes add --draw N --nums \"a;b;c;d;e;f[;g[;h]]\" --comment TEXT [--draws K]\n"
         "                       ставка вручную (на K тиражей с N), затем проверка ставок\n"
         "  stakes check         проверить ставки по архиву тиражей\n"
         "  stakes delete --where \"OP VALUE\"\n"
         "                       удалить проверенные ставки по числу совпадений\n"
         "                       (OP: = > >= < <=)\n"
         "  stakes clear         удалить все ставки и пересчитать рейтинг\n"
         "  ratings list [--mode 0|1|2]\n"
         "                       рейтинг: 20 столбцов и p (вероятность случайно угадать\n"
         "                       не меньше)\n"
         "  ratings export FILE.csv\n"
         "                       записать рейтинг в CSV-файл\n"
         "  ratings refresh      пересчитать рейтинг по текущим ставкам\n"
         "  tables list          регулярные ставки\n"
         "  tables add (--start \"a;b;c;d;e;f\" | --last-draw) [--step S] [--comment TEXT]\n"
         "                       добавить регулярную ставку\n"
         "  tables stake NAME [--draws K]\n"
         "                       ставка по регуляру на следующий тираж\n"
         "  tables test --draws N NAME...\n"
         "                       тест регуляров на N прошлых тиражах\n"
         "  script show [FILE]   строки сценария (или файла сценария): комментарий,\n"
         "                       опции, фильтры 1-7\n"
         "  script add LINE      добавить строку в конец сценария\n"
         "  script load FILE     добавить файл сценария в конец (через разделитель)\n"
         "  script open FILE     заменить сценарий файлом\n"
         "  script save FILE     записать сценарий в файл\n"
         "  script run [--offset K] [--log] [--seed S]\n"
         "                       прогноз по сценарию (на смещении K); --log: журнал\n"
         "                       выполнения; --seed: начало случайных выборов (RAND)\n"
         "  script test --tests N [--log] [--seed S]\n"
         "                       тест сценария на смещениях N ... 1\n"
         "                       (--no-speedups: без ускорений, для сравнения результатов)\n"
         "                       (Ctrl+C останавливает выполнение)\n"
         "  views card [--last N] [--colors]\n"
         "                       карта тиражей: номер, 45 ячеек, E1, E2 (--colors: цвет\n"
         "                       ячейки после \":\")\n"
         "  views layout [--window L] [--offset K]\n"
         "                       схема выпадения номеров: количество x последний тираж\n"
         "  views compare [--windows 50,100,200,300,400] [--offset K]\n"
         "                       пять списков сравнения: \"Кол-во\", тиражи окна; строки\n"
         "  views repeats [--draws N] [--deep D] [--seed S]\n"
         "                       количество повторов в зависимости от тиража\n"
         "  views sums           распределение сумм тиражей и всех комбинаций, диапазоны\n";
}

}  // namespace vexa::cli
