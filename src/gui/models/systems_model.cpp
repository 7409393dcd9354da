#include "models/systems_model.h"

#include <QPainter>
#include <QPixmap>

#include <array>

namespace vexa::gui {
namespace {

QStringList Captions() {
  QStringList out;
  for (const char* c : SystemColumnTitles()) out << QString::fromUtf8(c);
  return out;
}

// A sheet of paper in the owner's colour (own green, someone else's blue,
// no author grey); a downloaded system has a filled sheet with a tick.
QIcon MakeIcon(int state) {
  const int owner = state % 3;
  const bool downloaded = state >= 3;
  static const std::array<QColor, 3> colours = {QColor(0, 128, 0), QColor(0, 70, 170), QColor(128, 128, 128)};
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = colours[static_cast<size_t>(owner)];
  p.setPen(QPen(c, 1.2));
  p.setBrush(downloaded ? c.lighter(170) : QColor(Qt::white));
  p.drawRect(QRectF(2.5, 1.5, 10, 13));
  if (downloaded) {
    p.setPen(QPen(c.darker(130), 2));
    p.drawLine(QPointF(4.5, 8.5), QPointF(7, 11));
    p.drawLine(QPointF(7, 11), QPointF(11.5, 4.5));
  } else {
    p.setPen(QPen(c, 1));
    for (int y = 5; y <= 11; y += 3) p.drawLine(QPointF(5, y), QPointF(10.5, y));
  }
  return QIcon(pm);
}

}  // namespace

const int TSystemsModel::DefaultWidths[ColumnCount] = {240, 120, 50, 45, 80, 130, 80, 65, 130, 250, 150};

TSystemsModel::TSystemsModel(QObject* parent) : TTextRowsModel(Captions(), parent) {}

QIcon TSystemsModel::StateIcon(int state) {
  static const std::array<QIcon, 6> icons = {MakeIcon(0), MakeIcon(1), MakeIcon(2),
                                             MakeIcon(3), MakeIcon(4), MakeIcon(5)};
  return state >= 0 && state < 6 ? icons[static_cast<size_t>(state)] : QIcon();
}

void TSystemsModel::SetSystems(const std::vector<TSystemInfo>& systems) {
  std::vector<TTextRow> rows;
  rows.reserve(systems.size());
  Ids_.clear();
  for (const TSystemInfo& info : systems) {
    TTextRow row;
    for (std::string& cell : SystemViewRow(info)) row.Cells.push_back(std::move(cell));
    row.Icon = StateIcon(SystemIconOf(info));
    rows.push_back(std::move(row));
    Ids_.push_back(info.Id);
  }
  SetRows(std::move(rows));
}

int32_t TSystemsModel::IdAt(int viewRow) const {
  const int source = SourceRow(viewRow);
  return source >= 0 && source < static_cast<int>(Ids_.size()) ? Ids_[static_cast<size_t>(source)] : -1;
}

int TSystemsModel::ViewRowOf(int32_t id) const {
  for (size_t i = 0; i < Ids_.size(); ++i)
    if (Ids_[i] == id) return ViewRow(static_cast<int>(i));
  return -1;
}

}  // namespace vexa::gui
