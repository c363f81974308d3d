#include "dtmrepo/parser/description_record.h"

namespace dtmrepo {

long long DescriptionRecord::inputByteCount() const {
    return assemblyByteCount[1] + assemblyByteCount[3] + assemblyByteCount[5] +
           assemblyByteCount[7];
}

long long DescriptionRecord::outputByteCount() const {
    return assemblyByteCount[2] + assemblyByteCount[4] + assemblyByteCount[6] +
           assemblyByteCount[8];
}

}  // namespace dtmrepo
