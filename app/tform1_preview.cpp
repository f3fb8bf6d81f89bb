// The data preview by condition and the domain statistics preview.
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>

#include "app/domain_chart.h"
#include "app/preview_grid.h"
#include "app/result_set_model.h"
#include "app/widget_text.h"
#include "app/tform1.h"
#include "preview/data_preview.h"
#include "preview/domain_preview.h"

void TForm1::showPageByProgram(int page) {
    pageChangeByProgram_ = true;
    pgc_preview->setCurrentIndex(page);
    pageChangeByProgram_ = false;
}

void TForm1::btn_searchClick() {
    if (pgc_preview->currentIndex() == 0)
        dataTabPreview();
    else if (pgc_preview->currentIndex() == 1)
        domainTabPreview();
}

void TForm1::dataTabPreview() {
    using preview::DataOption;
    preview::DataPreviewInput input;
    input.option = rbt_viewoption_invalid->isChecked()  ? DataOption::Invalid
                   : rbt_viewoption_error->isChecked()  ? DataOption::Error
                   : rbt_viewoption_start1->isChecked() ? DataOption::PrefixLength
                   : rbt_viewoption_start2->isChecked() ? DataOption::PrefixList
                   : rbt_viewoption_end->isChecked()    ? DataOption::SuffixList
                                                        : DataOption::All;
    input.column = addressColumn();
    input.comparison = app::utf8Of(cbx_viewoption_start1->currentText());
    input.length = app::utf8Of(edt_viewoption_start1->text());
    input.prefixList = app::utf8Of(edt_viewoption_start2->text());
    input.suffixList = app::utf8Of(edt_viewoption_end->text());

    bool previewed = false;
    ds_preview->reload([&] { runOperation([&] { previewed = workspace_.PreviewDataBy(input); }); });
    if (previewed) app::showPreviewFromTopLeft(DBGridEh_preview_data);
}

void TForm1::domainTabPreview() {
    using preview::DomainOption;
    const DomainOption option = rbt_top15->isChecked()       ? DomainOption::Top15
                                : rbt_top20->isChecked()     ? DomainOption::Top20
                                : rbt_top30->isChecked()     ? DomainOption::Top30
                                : rbt_top50->isChecked()     ? DomainOption::Top50
                                : rbt_alldomain->isChecked() ? DomainOption::All
                                                             : DomainOption::Top10;
    showDomains(preview::topCountFor(option), false);
}

void TForm1::showDomains(int top, bool automatic) {
    bool shown = false;
    domainChart->setTopCount(top);
    const std::string column = addressColumn();
    ds_domain->reload([&] { runOperation([&] { shown = workspace_.PreviewDomains(column, top, automatic); }); });
    if (shown) app::showPreviewFromTopLeft(DBGridEh_preview_domain);
}

void TForm1::pgc_previewChange() {
    // The first turn to the domain page shows the top 10 at once.
    if (pgc_preview->currentIndex() != 1 || workspace_.domainResult().isOpen()) return;
    rbt_top10->setChecked(true);
    showDomains(10, true);
}
