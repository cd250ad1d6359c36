#include "select/SelectTools.h"

#include "select/AlignMode.h"
#include "select/SelectMode.h"
#include "select/TransformMode.h"

void RegisterSelectTools(const SelectToolRegistrar& registrar) {
    registrar(SelectToolIds::Select, RUNTIME_CLASS(SelectMode), [] { return new SelectMode; });
    registrar(SelectToolIds::Transform, RUNTIME_CLASS(TransformMode),
              [] { return new TransformMode; });
    registrar(SelectToolIds::Align, RUNTIME_CLASS(AlignMode), [] { return new AlignMode; });
}
