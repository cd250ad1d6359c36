// Undo by difference on a large design: 10,000 test objects in 100 groups.
#include <benchmark/benchmark.h>

#include "TestObj.h"
#include "mfc/CArchive.h"
#include "mfc/CMemFile.h"
#include "model/CGroupObj.h"
#include "model/CSign.h"
#include "model/HashBytes.h"
#include "model/UndoList.h"
#include "shared/SharedObjRef.h"

namespace {

class BenchDoc : public UndoList {
public:
    BenchDoc() {
        for (int g = 0; g < 100; ++g) {
            auto* group = new CGroupObj;
            for (int i = 0; i < 100; ++i)
                group->m_children.Add(new CTestObj(float(i), float(g), float(i) + 1, float(g) + 1,
                                                   static_cast<signed char>(i % 8)));
            m_sign.Add(group);
        }
        m_sign.CountLayerObjects();
        m_sign.RefreshBounds(1);
        RecordStep("Create");
    }
    CSign& GetUndoSign() override { return m_sign; }
    void SerializeUndoSettings(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << m_fWidth;
        } else {
            ar >> m_fWidth;
        }
    }
    DWORD GetUndoStateHash() override {
        DWORD h = 0;
        HashBytes(&m_fWidth, sizeof m_fWidth, &h);
        return h;
    }
    void InvalidateUndoBox(const floatBBox*) override {}
    void SetUndoModified() override {}
    CTestObj* Leaf(int g, int i) {
        return static_cast<CTestObj*>(static_cast<CGroupObj*>(m_sign.GetObj(g))->GetChild(i));
    }

    CSign m_sign;
    float m_fWidth = 210;
};

void BM_RecordNothing(benchmark::State& state) {
    BenchDoc doc;
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.RecordStep("Nothing"));
}
BENCHMARK(BM_RecordNothing)->Unit(benchmark::kMillisecond);

void BM_RecordOneAttribute(benchmark::State& state) {
    BenchDoc doc;
    COLORREF c = 0;
    for (auto _ : state) {
        doc.Leaf(50, 50)->m_clrOutline = ++c;
        benchmark::DoNotOptimize(doc.RecordStep("Outline"));
    }
}
BENCHMARK(BM_RecordOneAttribute)->Unit(benchmark::kMillisecond);

void BM_RecordOneContent(benchmark::State& state) {
    BenchDoc doc;
    DWORD c = 0;
    for (auto _ : state) {
        doc.Leaf(50, 50)->SetContent(++c);
        benchmark::DoNotOptimize(doc.RecordStep("Edit"));
    }
}
BENCHMARK(BM_RecordOneContent)->Unit(benchmark::kMillisecond);

void BM_RecordGroupMoved(benchmark::State& state) {
    BenchDoc doc;
    for (auto _ : state) {
        // The group goes from the bottom of the stack to the top.
        CObject* g = doc.m_sign.GetAt(0);
        doc.m_sign.RemoveAt(0);
        doc.m_sign.Add(g);
        benchmark::DoNotOptimize(doc.RecordStep("To front"));
    }
}
BENCHMARK(BM_RecordGroupMoved)->Unit(benchmark::kMillisecond);

void BM_UndoRedo(benchmark::State& state) {
    BenchDoc doc;
    doc.Leaf(50, 50)->SetContent(1);
    doc.RecordStep("Edit");
    for (auto _ : state) {
        doc.Undo();
        doc.Redo();
    }
}
BENCHMARK(BM_UndoRedo)->Unit(benchmark::kMillisecond);

void BM_StoreLoad(benchmark::State& state) {
    BenchDoc doc;
    std::size_t bytes = 0;
    for (auto _ : state) {
        CMemFile file;
        {
            CSharedObjTableScope scope;
            CArchive ar(&file, CArchive::store);
            doc.m_sign.Serialize(ar);
            ar.Close();
        }
        bytes = std::size_t(file.GetLength());
        file.SeekToBegin();
        CSign loaded;
        {
            CSharedObjTableScope scope;
            CArchive ar(&file, CArchive::load);
            loaded.Serialize(ar);
            ar.Close();
        }
        benchmark::DoNotOptimize(loaded.GetSize());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_StoreLoad)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
