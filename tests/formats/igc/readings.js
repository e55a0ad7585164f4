// igc-parser's readings of IGC logs, for the tests to compare with:
//     node readings.js OUTPUT_DIR FILE...
// writes OUTPUT_DIR/<name>.json for each FILE: its error, or its date and,
// a line each, its fixes (time in Unix seconds, latitude, longitude,
// validity, GNSS and pressure altitudes).
const IGCParser = require('igc-parser');
const fs = require('fs');
const path = require('path');

const [directory, ...files] = process.argv.slice(2);
for (const file of files) {
    const lines = [`{"file": ${JSON.stringify(path.basename(file))},`];
    try {
        const log = IGCParser.parse(fs.readFileSync(file, 'latin1'), {lenient: true});
        const fixes = log.fixes.map((f) => JSON.stringify({
            time: f.timestamp / 1000, lat: f.latitude, lon: f.longitude, valid: f.valid,
            gnss: f.gpsAltitude, pressure: f.pressureAltitude}));
        lines.push(` "date": ${JSON.stringify(log.date)},`);
        lines.push(` "fixes": [\n  ${fixes.join(',\n  ')}\n ]}`);
    } catch (error) {
        lines.push(` "error": ${JSON.stringify(String(error.message || error))}}`);
    }
    fs.writeFileSync(path.join(directory, path.basename(file, '.igc') + '.json'),
                     lines.join('\n') + '\n');
}
