// The demo forms a fresh repository offers open cleanly and survive a save unchanged,
// so the first thing a user opens is not a warning.
#include <gtest/gtest.h>

#include "DemoData.h"
#include "Repository.h"
#include "TestEngines.h"
#include "layout/LayoutTestSupport.h"
#include "layout/SaveValidation.h"

class DemoForms : public ::testing::TestWithParam<repotest::Engine> {};
FD_ON_BOTH_ENGINES(DemoForms);

TEST_P(DemoForms, EveryDemoFormReadsWithoutAMessageAndWritesBackStably) {
    repotest::Scratch place(GetParam(), true);
    std::string error;
    auto repository = repo::Repository::Open(place.location, error);
    ASSERT_TRUE(repository) << error;
    ASSERT_TRUE(repo::SeedDemoData(*repository, error)) << error;
    int seen = 0;
    for (const std::string& entity : repo::DemoEntities()) {
        std::vector<repo::FormRecord> forms;
        ASSERT_EQ(repository->ListForms(entity, forms, error), repo::Status::Ok) << error;
        for (const repo::FormRecord& listed : forms) {
            SCOPED_TRACE(entity + "/" + listed.name);
            repo::FormRecord form;
            ASSERT_EQ(repository->FindForm(entity, listed.name, form, error), repo::Status::Ok);
            LoadedLayout first;
            ASSERT_TRUE(first.Read(form.layout));
            for (const auto& m : first.ui.Messages()) ADD_FAILURE() << m.title << ": " << m.text;
            ASSERT_TRUE(BuildFormItemsArray(first.model, first.store, first.ui));
            EXPECT_TRUE(ValidateDataBoundLabels(first.model, first.store, first.ui, false));
            EXPECT_TRUE(ValidateUserPromptsLabels(first.model, first.store, first.ui, false));
            EXPECT_TRUE(first.ui.Messages().empty());
            const std::string saved = first.Write();
            LoadedLayout second;
            ASSERT_TRUE(second.Read(saved));
            EXPECT_TRUE(second.ui.Messages().empty());
            EXPECT_EQ(second.Write(), saved);
            ++seen;
        }
    }
    EXPECT_GE(seen, 4);
}
