// Finding the configuration, binding the recognizer by its export names, and the
// once-per-process opening and closing at load and unload.
#include "recservice/tests/service_fixture.h"

namespace servicetest {
namespace {

class ServiceOpen : public ServiceTest {};

// --- where the configuration comes from ---

TEST_F(ServiceOpen, CurrentDirectoryFileWithoutRecflagIsIgnored) {
    WriteSystemConfig(strings_.path());
    WriteFile(current_.file("VELTAREC.INI"), ConfigText(classifier_.path()));
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->opens, 1);
    EXPECT_EQ(classifier_.log()->opens, 0);
    EXPECT_EQ(std::string(strings_.log()->dic[0]), system_.file("pattern.dic"));
}

TEST_F(ServiceOpen, CurrentDirectoryFileWithRecflagZeroIsIgnored) {
    WriteSystemConfig(strings_.path());
    WriteFile(current_.file("VELTAREC.INI"), ConfigText(classifier_.path()) + "RECFLAG=0\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->opens, 1);
    EXPECT_EQ(classifier_.log()->opens, 0);
}

TEST_F(ServiceOpen, CurrentDirectoryFileWithRecflagIsUsedWithItsOwnDirectory) {
    WriteSystemConfig(strings_.path());
    WriteFile(current_.file("VELTAREC.INI"), ConfigText(classifier_.path()) + "RECFLAG=2\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->opens, 0);
    ASSERT_EQ(classifier_.log()->opens, 1);
    EXPECT_EQ(std::string(classifier_.log()->dic[0]), current_.file("pattern.dic"));
    EXPECT_EQ(std::string(classifier_.log()->dic[1]), current_.file("coarse.dic"));
}

TEST_F(ServiceOpen, RecflagInTheSystemDirectoryDoesNotSelectTheCurrentDirectory) {
    WriteSystemConfig(strings_.path(), "RECFLAG=1\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(std::string(strings_.log()->dic[0]), system_.file("pattern.dic"));
}

TEST_F(ServiceOpen, StringRecognizerGetsThreeDictionariesInOrder) {
    WriteSystemConfig(strings_.path());
    ASSERT_NE(LoadService(), nullptr);
    const FakeLog& log = *strings_.log();
    ASSERT_EQ(log.openArgCount, 3);
    EXPECT_EQ(std::string(log.dic[0]), system_.file("pattern.dic"));
    EXPECT_EQ(std::string(log.dic[1]), system_.file("coarse.dic"));
    EXPECT_EQ(std::string(log.dic[2]), system_.file("bigram.dic"));
}

TEST_F(ServiceOpen, EmptyDictionaryNameGivesTheBareDirectoryPrefix) {
    WriteFile(system_.file("VELTAREC.INI"),
              "[RECOGBOX]\nLibName=" + strings_.path() + "\nEXDIC=model.dic\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(std::string(strings_.log()->dic[0]), system_.path() + "/");
    EXPECT_EQ(std::string(strings_.log()->dic[2]), system_.path() + "/");
}

// --- fitted evaluation tables ---

TEST_F(ServiceOpen, EvaluationTablesAreLoadedOnlyWhenNamed) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(strings_.log()->evalLoads, 0);
    FreeService(service);
    WriteSystemConfig(strings_.path(), "LPDIC=fitted.clp\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->evalLoads, 1);
    EXPECT_EQ(std::string(strings_.log()->evalDic), system_.file("fitted.clp"));
}

TEST_F(ServiceOpen, NamedEvaluationTablesThatDoNotLoadFailTheOpen) {
    WriteSystemConfig(strings_.path(), "LPDIC=fitted.clp\n");
    strings_.log()->evalResult = 3;
    EXPECT_EQ(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->evalLoads, 1);
    EXPECT_GE(strings_.log()->closes, 1);
    EXPECT_EQ(strings_.log()->detaches, 1);
}

TEST_F(ServiceOpen, ClassifierLibraryIgnoresNamedEvaluationTables) {
    WriteSystemConfig(classifier_.path(), "LPDIC=fitted.clp\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(classifier_.log()->opens, 1);
}

// --- class count ---

TEST_F(ServiceOpen, AbsentClassCountIs250) {
    WriteSystemConfig(strings_.path());
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->classCountCalls, 1);
    EXPECT_EQ(strings_.log()->classCount, 250);
}

TEST_F(ServiceOpen, ClassCountFromTheFileReachesTheClassifierFallback) {
    WriteSystemConfig(classifier_.path(), "CCOUNT=37\n");
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(classifier_.log()->classCountCalls, 1);
    EXPECT_EQ(classifier_.log()->classCount, 37);
}

// --- binding by name ---

TEST_F(ServiceOpen, ClassifierOnlyLibraryOpensWithTwoDictionaries) {
    WriteSystemConfig(classifier_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    const FakeLog& log = *classifier_.log();
    EXPECT_EQ(log.opens, 1);
    EXPECT_EQ(log.openArgCount, 2);
    EXPECT_EQ(std::string(log.dic[0]), system_.file("pattern.dic"));
    EXPECT_EQ(std::string(log.dic[1]), system_.file("coarse.dic"));
    FreeService(service);
    EXPECT_EQ(log.closes, 1);
    EXPECT_EQ(log.detaches, 1);
}

TEST_F(ServiceOpen, LibraryWithNeitherOpenFunctionStillOpens) {
    WriteSystemConfig(bare_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    EXPECT_EQ(bare_.log()->attaches, 1);
    auto count = Export<veltarec::GetTehonNumFn>(service, "GetTehonNum");
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count(0x889F), 2); // the model index loaded
}

TEST_F(ServiceOpen, LibraryWithNeitherOpenFunctionStillNeedsTheModelDictionary) {
    WriteSystemConfig(bare_.path());
    std::filesystem::remove(system_.file("model.dic"));
    EXPECT_EQ(LoadService(), nullptr);
    EXPECT_EQ(bare_.log()->detaches, 1);
}

// --- the load's life cycle ---

TEST_F(ServiceOpen, SecondAttachDoesNotReopenAndLastDetachClosesOnce) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle first = LoadService();
    platform::ModuleHandle second = LoadService();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    const FakeLog& log = *strings_.log();
    EXPECT_EQ(log.opens, 1);
    EXPECT_EQ(log.attaches, 1);
    FreeService(second);
    EXPECT_EQ(log.closes, 0);
    EXPECT_EQ(log.detaches, 0);
    FreeService(first);
    EXPECT_EQ(log.closes, 1);
    EXPECT_EQ(log.detaches, 1);
}

TEST_F(ServiceOpen, ReloadAfterTheLastUnloadOpensAgain) {
    WriteSystemConfig(strings_.path());
    FreeService(LoadService());
    ASSERT_NE(LoadService(), nullptr);
    EXPECT_EQ(strings_.log()->opens, 2);
    EXPECT_EQ(strings_.log()->closes, 1);
}

TEST_F(ServiceOpen, FailingDictionaryOpenFailsTheLoad) {
    WriteSystemConfig(strings_.path());
    strings_.log()->openResult = 3;
    EXPECT_EQ(LoadService(), nullptr);
    const FakeLog& log = *strings_.log();
    EXPECT_EQ(log.opens, 1);
    EXPECT_EQ(log.classCountCalls, 0);
    EXPECT_EQ(log.detaches, 1); // the recognizer was unloaded with the failed service
}

TEST_F(ServiceOpen, MissingModelDictionaryClosesTheOpenedRecognizer) {
    WriteSystemConfig(strings_.path());
    std::filesystem::remove(system_.file("model.dic"));
    EXPECT_EQ(LoadService(), nullptr);
    const FakeLog& log = *strings_.log();
    EXPECT_EQ(log.opens, 1);
    EXPECT_GE(log.closes, 1);
    EXPECT_EQ(log.detaches, 1);
}

TEST_F(ServiceOpen, ModelDictionaryWithoutEntriesFailsTheOpen) {
    WriteSystemConfig(strings_.path());
    WriteModels({});
    EXPECT_EQ(LoadService(), nullptr);
}

TEST_F(ServiceOpen, MissingLibraryFailsTheLoad) {
    WriteSystemConfig(system_.file("libno-such-recognizer.so"));
    EXPECT_EQ(LoadService(), nullptr);
}

TEST_F(ServiceOpen, NoConfigurationAtAllFailsTheLoad) {
    EXPECT_EQ(LoadService(), nullptr);
}

TEST_F(ServiceOpen, ExplicitSecondOpenStartsAfresh) {
    WriteSystemConfig(strings_.path());
    platform::ModuleHandle service = LoadService();
    ASSERT_NE(service, nullptr);
    auto open = Export<veltarec::OpenDictionaryFn>(service, "OpenDictionary");
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open(), 1);
    const FakeLog& log = *strings_.log();
    EXPECT_EQ(log.opens, 2);
    EXPECT_EQ(log.closes, 1); // the first open was closed before the second
    FreeService(service);
    EXPECT_EQ(log.closes, 2);
    EXPECT_EQ(log.attaches, log.detaches);
}

} // namespace
} // namespace servicetest
