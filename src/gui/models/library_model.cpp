#include "models/library_model.h"

#include <QPainter>
#include <QPixmap>

namespace vexa::gui {
namespace {

QStringList Captions() {
  QStringList out;
  for (const char* c : LibraryColumnTitles()) out << QString::fromUtf8(c);
  return out;
}

// A page with lines; a private script's page carries a small lock.
QIcon MakeIcon(bool isPublic) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = isPublic ? QColor(0, 110, 40) : QColor(150, 90, 0);
  p.setPen(QPen(c, 1.2));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(2.5, 1.5, 10, 13));
  p.setPen(QPen(c, 1));
  for (int y = 4; y <= 7; y += 3) p.drawLine(QPointF(4.5, y), QPointF(10.5, y));
  if (isPublic) {
    p.drawLine(QPointF(4.5, 10), QPointF(10.5, 10));
    p.drawLine(QPointF(4.5, 13), QPointF(8.5, 13));
  } else {
    p.setBrush(c);
    p.drawRect(QRectF(8.5, 10.5, 6, 4.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(9.5, 7.5, 4, 5), 0, 180 * 16);
  }
  return QIcon(pm);
}

}  // namespace

const int TLibraryModel::DefaultWidths[ColumnCount] = {80, 200, 120, 110, 60, 45, 130, 70, 55, 80, 65, 130, 250};

TLibraryModel::TLibraryModel(QObject* parent) : TTextRowsModel(Captions(), parent) {}

QIcon TLibraryModel::PublicIcon(bool isPublic) {
  static const QIcon shared = MakeIcon(true);
  static const QIcon mine = MakeIcon(false);
  return isPublic ? shared : mine;
}

void TLibraryModel::SetScripts(const std::vector<TScriptInfo>& scripts) {
  std::vector<TTextRow> rows;
  rows.reserve(scripts.size());
  Ids_.clear();
  for (const TScriptInfo& info : scripts) {
    TTextRow row;
    for (std::string& cell : LibraryViewRow(info)) row.Cells.push_back(std::move(cell));
    row.Icon = PublicIcon(info.Public);
    rows.push_back(std::move(row));
    Ids_.push_back(info.Id);
  }
  SetRows(std::move(rows));
}

int32_t TLibraryModel::IdAt(int viewRow) const {
  const int source = SourceRow(viewRow);
  return source >= 0 && source < static_cast<int>(Ids_.size()) ? Ids_[static_cast<size_t>(source)] : -1;
}

int TLibraryModel::ViewRowOf(int32_t id) const {
  for (size_t i = 0; i < Ids_.size(); ++i)
    if (Ids_[i] == id) return ViewRow(static_cast<int>(i));
  return -1;
}

}  // namespace vexa::gui
