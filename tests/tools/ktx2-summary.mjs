// Prints what ktx-parse, an independent KTX 2.0 reader, makes of a KTX2 file: one fact a line,
// the format and descriptor values by the names ktx-parse gives them.
//
//   node ktx2-summary.mjs KTX_PARSE_MODULE FILE.ktx2
import { readFileSync } from 'node:fs';
import { pathToFileURL } from 'node:url';

const [modulePath, file] = process.argv.slice(2);
const ktx = await import(pathToFileURL(modulePath).href);
const bytes = new Uint8Array(readFileSync(file)); // its own buffer: level offsets are file offsets
const container = ktx.read(bytes);

// The exported constant of that value whose name starts with `prefix`.
function nameOf(prefix, value) {
  const names = Object.keys(ktx).filter((key) => key.startsWith(prefix) && ktx[key] === value);
  return names.length > 0 ? names.join('|') : `${prefix}?${value}`;
}

const hex = (data) => Buffer.from(data).toString('hex');
const lines = [
  `file ${bytes.length} bytes`,
  `vkFormat ${nameOf('VK_FORMAT_', container.vkFormat)}`,
  `typeSize ${container.typeSize}`,
  `size ${container.pixelWidth} x ${container.pixelHeight} depth ${container.pixelDepth}`,
  `layers ${container.layerCount} faces ${container.faceCount} levels ${container.levelCount}`,
  `supercompression ${nameOf('KHR_SUPERCOMPRESSION_', container.supercompressionScheme)}`,
];
container.levels.forEach((level, index) => {
  lines.push(`level ${index} at ${level.levelData.byteOffset} length ${level.levelData.byteLength}` +
             ` uncompressed ${level.uncompressedByteLength} data ${hex(level.levelData)}`);
});
for (const dfd of container.dataFormatDescriptor) {
  lines.push(`descriptor vendor ${dfd.vendorId} type ${dfd.descriptorType} version ${dfd.versionNumber}`);
  lines.push(`model ${nameOf('KHR_DF_MODEL_', dfd.colorModel)} primaries ${nameOf('KHR_DF_PRIMARIES_', dfd.colorPrimaries)}` +
             ` transfer ${nameOf('KHR_DF_TRANSFER_', dfd.transferFunction)} flags ${dfd.flags}`);
  lines.push(`block ${dfd.texelBlockDimension.join(' ')} planes ${dfd.bytesPlane.join(' ')}`);
  dfd.samples.forEach((sample, index) => {
    lines.push(`sample ${index} bits ${sample.bitOffset} +${sample.bitLength + 1} channel ${sample.channelType & 0x0f}` +
               ` qualifiers ${sample.channelType >> 4} position ${sample.samplePosition.join(' ')}` +
               ` range ${sample.sampleLower} ${sample.sampleUpper}`);
  });
}
for (const [key, value] of Object.entries(container.keyValue)) {
  lines.push(`key ${key}` + (key === 'KTXglFormat' ? '' : ` ${typeof value === 'string' ? value : hex(value)}`));
}
console.log(lines.join('\n'));
