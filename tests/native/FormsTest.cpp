// Forms: errors of the creation handler go to the unhandled-error handling, and the
// translation of every caption of a window.
#include <gtest/gtest.h>

#include "common/Text.h"
#include "common/Translate.h"
#include "support/FakeLocale.h"
#include "toolkit/Forms.h"
#include "toolkit/StdControls.h"

namespace {

TEST(FormsTest, FormCreationErrorsGoToTheApplicationAndCreationGoesOn)
{
    TForm form(nullptr);
    std::vector<std::string> reported;
    auto saved = ErrorHandler();
    SetErrorHandler([&](const std::exception& e) { reported.push_back(e.what()); });
    int steps = 0;
    form.OnCreate = [&](TComponent*) {
        ++steps;
        throw EAppError(u"Invalid data type for 'status'");
    };
    EXPECT_NO_THROW(form.DoCreate());
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(reported, std::vector<std::string>{"Invalid data type for 'status'"});
    SetErrorHandler(saved);
}

const std::string kWindowCatalogue =
    "ko=창\r\nen=Window\r\nja=窓\r\n\r\n"
    "ko=실행하기\r\nen=Run\r\nja=実行する\r\nfr=Exécuter\r\n";

// A form that owns a label, a check box that the form does not own but a panel does, all with
// catalogue captions (the check box's is not in the catalogue).
class TranslateComponentTest : public ::testing::Test {
protected:
    TranslateComponentTest()
    {
        Form.SetCaption(u"창");
        Label->SetCaption(u"실행하기");
        Box->SetCaption(u"TcpNoDelay");
        Inner->SetCaption(u"실행하기");
    }
    void TearDown() override { TranslateShutdown(); }

    TForm Form{nullptr};
    TLabel* Label = new TLabel(&Form);
    TPanel* Panel = new TPanel(&Form);
    TCheckBox* Box = new TCheckBox(&Form);
    TLabel* Inner = new TLabel(Panel);  // owned by the panel, not by the form
};

TEST_F(TranslateComponentTest, FormTitleIsEnglishExceptInKorean)
{
    struct Case {
        std::u16string Language;
        std::u16string Title, Run;
    } cases[] = {
        {u"ko", u"창", u"실행하기"},
        {u"ja", u"Window", u"実行する"},
        {u"fr", u"Window", u"Exécuter"},
        {u"de", u"Window", u"Run"},
    };
    for (const auto& c : cases) {
        LoadCatalogue(kWindowCatalogue, c.Language);
        TranslateComponent(&Form);
        EXPECT_EQ(Form.Caption(), c.Title) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Label->Caption(), c.Run) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Inner->Caption(), c.Run) << Utf16ToUtf8(c.Language);
        EXPECT_EQ(Box->Caption(), u"TcpNoDelay");
    }
}

TEST_F(TranslateComponentTest, TwiceIsOnceAndAGivenLanguageStays)
{
    LoadCatalogue(kWindowCatalogue, u"ja");
    TranslateComponent(&Form);
    TranslateComponent(&Form);
    EXPECT_EQ(Label->Caption(), u"実行する");

    // A given language turns the translated window into it and stays the current one.
    TranslateComponent(&Form, u"ko");
    EXPECT_EQ(CurrentLanguage(), u"ko");
    EXPECT_EQ(Form.Caption(), u"창");
    EXPECT_EQ(Label->Caption(), u"실행하기");
    EXPECT_EQ(TranslateText(u"Run"), u"실행하기");

    // Even without a component.
    TranslateComponent(nullptr, u"fr");
    EXPECT_EQ(CurrentLanguage(), u"fr");
}

}  // namespace
