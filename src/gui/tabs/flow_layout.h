// A layout that places its items left to right and wraps them onto the
// next row when the width runs out, so that a row of command buttons shows
// every button whole at any window width.
#pragma once

#include <QLayout>
#include <QList>

namespace vexa::gui {

class TFlowLayout final : public QLayout {
 public:
  explicit TFlowLayout(QWidget* parent, int spacing = 2);
  ~TFlowLayout() override;
  TFlowLayout(const TFlowLayout&) = delete;
  TFlowLayout& operator=(const TFlowLayout&) = delete;

  void addItem(QLayoutItem* item) override;
  int count() const override;
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;
  Qt::Orientations expandingDirections() const override;
  bool hasHeightForWidth() const override;
  int heightForWidth(int width) const override;
  QSize minimumSize() const override;
  QSize sizeHint() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Lays the items out in rect (or only measures); returns the height used.
  int Arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> Items_;
  int Spacing_;
};

}  // namespace vexa::gui
