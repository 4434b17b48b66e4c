#pragma once

#include <QWidget>

namespace studlab {

// TForm14, "Form14", the graph window: a placeholder reached only through the profitability
// window's disabled buttons. "Button1" closes it, "Button2" draws a line.
class TGraphWindow final : public QWidget {
    Q_OBJECT
public:
    TGraphWindow();

    bool LineDrawn() const { return m_lineDrawn; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawLine();  // "Button2"

    bool m_lineDrawn = false;
};

}  // namespace studlab
