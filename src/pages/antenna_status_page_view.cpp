#include "pages/antenna_status_page_view.h"

#include "widgets/group_box.h"
#include "widgets/qt_colour.h"
#include "widgets/report_ctrl.h"
#include "widgets/static_text.h"

namespace vantu {
namespace {

constexpr QSize kPageSize(1880, 932);
constexpr int kGroupTop = 4;
constexpr int kGroupHeight = 924;
constexpr int kGroupWidth = 462;
constexpr int kGroupGap = 8;
constexpr int kInset = 14;
constexpr int kFirstListTop = 30;
constexpr int kTitleHeight = 20;
constexpr int kHeaderHeight = 20;
constexpr int kRowHeight = 15;
constexpr int kListGap = 8;
constexpr int kLabelWidth = 90;
constexpr Colour kTitleBar = Rgb(0, 64, 128);
constexpr Colour kTitleText = Rgb(255, 255, 255);
constexpr Colour kLabelBackground = Rgb(230, 230, 230);
constexpr Colour kValueRed = Rgb(210, 0, 0);

constexpr std::array<std::string_view, 4> kGroupTitles = {"電源", "環控", "數位", "射頻"};

CReportCtrl* MakeList(QWidget& page, const AntennaList& list, const QRect& area) {
    const int rows = static_cast<int>(list.row_labels.size());
    const int values = static_cast<int>(list.value_headers.size());
    auto* grid = new CReportCtrl(rows, values + 1, &page);
    grid->SetColumnWidth(0, kLabelWidth);
    const int value_width = (area.width() - kLabelWidth - 4) / std::max(values, 1);
    std::vector<std::string> headers{std::string(list.label_header)};
    for (int c = 0; c < values; ++c) {
        grid->SetColumnWidth(c + 1, value_width);
        headers.emplace_back(list.value_headers[static_cast<std::size_t>(c)]);
    }
    grid->SetHeaders(headers, kHeaderHeight);
    grid->SetAllRowHeights(kRowHeight);
    for (int row = 0; row < rows; ++row) {
        grid->cells().SetText(row, 0, list.row_labels[static_cast<std::size_t>(row)]);
        grid->cells().SetBackground(row, 0, kLabelBackground);
    }
    grid->setGeometry(QRect(area.topLeft(), QSize(area.width(), grid->ContentSize().height())));
    return grid;
}

}  // namespace

CCPAGE3DLG::CCPAGE3DLG(const AntennaStatusPage& model, QWidget* parent)
    : QWidget(parent), model_(model) {
    setMinimumSize(kPageSize);
    std::array<int, 4> next_top{};
    for (std::size_t g = 0; g < kGroupTitles.size(); ++g) {
        const int left = kGroupGap + static_cast<int>(g) * (kGroupWidth + kGroupGap);
        auto* group = new CGroupBox(ToQString(kGroupTitles[g]), this);
        group->setGeometry(left, kGroupTop, kGroupWidth, kGroupHeight);
        next_top[g] = kGroupTop + kFirstListTop;
    }
    for (const AntennaList& list : AntennaLists()) {
        if (list.hidden) {
            lists_.push_back(nullptr);
            continue;
        }
        const auto g = static_cast<std::size_t>(list.group);
        const int left = kGroupGap + static_cast<int>(g) * (kGroupWidth + kGroupGap) + kInset;
        const int width = kGroupWidth - 2 * kInset;
        auto* title = new CStatic(ToQString(list.title), this);
        title->setAlignment(Qt::AlignCenter);
        title->SetBackground(kTitleBar);
        title->SetTextColour(kTitleText);
        title->setGeometry(left, next_top[g], width, kTitleHeight);
        CReportCtrl* grid =
            MakeList(*this, list, QRect(left, next_top[g] + kTitleHeight, width, 0));
        next_top[g] = grid->geometry().bottom() + 1 + kListGap;
        lists_.push_back(grid);
    }
    SyncFromModel();
}

void CCPAGE3DLG::SyncFromModel() {
    const auto lists = AntennaLists();
    for (std::size_t l = 0; l < lists.size(); ++l) {
        CReportCtrl* grid = lists_[l];
        if (grid == nullptr) {
            continue;
        }
        GridCells& cells = grid->cells();
        for (int row = 0; row < static_cast<int>(lists[l].row_labels.size()); ++row) {
            for (int c = 0; c < static_cast<int>(lists[l].value_headers.size()); ++c) {
                const ReadingValue& value = model_.value(l, row, c);
                // Unchanged cells leave the list alone, so it is not repainted.
                const GridCellState& shown = cells.At(row, c + 1);
                const Colour colour = value.out_of_limits ? kValueRed : kBlack;
                if (shown.text != value.text) {
                    cells.SetText(row, c + 1, value.text);
                }
                if (shown.text_colour != colour) {
                    cells.SetTextColour(row, c + 1, colour);
                }
                // A reading without a limit is neither good nor bad: no glyph.
                const CellMark mark = value.text.empty() || !value.judged ? CellMark::kNone
                                      : value.out_of_limits               ? CellMark::kFault
                                                                          : CellMark::kNormal;
                if (shown.mark != mark) {
                    cells.SetMark(row, c + 1, mark);
                }
            }
        }
    }
}

}  // namespace vantu
