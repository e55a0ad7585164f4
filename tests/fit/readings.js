// fit-file-parser's readings of FIT files, for the tests to compare with:
//     node readings.js OUTPUT_DIR FILE...
// writes OUTPUT_DIR/<name>.json for each FILE: its error, or the first
// session's sport, the times of timer stops, the sessions and laps (their
// start, -1 when it has none, end, sport or trigger), and, a line each, the records' values in
// SI units (times in Unix seconds; absent values left out).
const FitParser = require('fit-file-parser').default;
const fs = require('fs');
const path = require('path');

const [directory, ...files] = process.argv.slice(2);
const seconds = (date) => (date instanceof Date ? date.getTime() / 1000 : undefined);
for (const file of files) {
    // The cut copy is read as far as it goes.
    const parser = new FitParser({force: path.basename(file) === 'cut.fit', mode: 'list',
                                  speedUnit: 'm/s', lengthUnit: 'm', temperatureUnit: 'celsius',
                                  elapsedRecordField: false});
    const write = (error, data) => {
        const lines = [`{"file": ${JSON.stringify(path.basename(file))},`];
        if (error) {
            lines.push(` "error": ${JSON.stringify(String(error))}}`);
        } else {
            const session = (data.sessions || []).find((s) => s.sport !== undefined);
            const stops = (data.events || [])
                .filter((e) => e.event === 'timer' && /^stop(_all|_disable_all)?$/.test(e.event_type))
                .map((e) => seconds(e.timestamp));
            const records = (data.records || []).map((r) => JSON.stringify({
                time: seconds(r.timestamp), lat: r.position_lat, lon: r.position_long,
                elevation: r.enhanced_altitude ?? r.altitude, speed: r.enhanced_speed ?? r.speed,
                heart_rate: r.heart_rate,
                // the whole strides and the fraction a device may add in 128ths
                cadence: r.cadence === undefined ? undefined : r.cadence + (r.fractional_cadence ?? 0),
                power: r.power,
                temperature: r.temperature, distance: r.distance}));
            lines.push(` "sport": ${JSON.stringify(session ? session.sport : null)},`);
            lines.push(` "stops": ${JSON.stringify(stops)},`);
            const sessions = (data.sessions || []).map((s) => JSON.stringify({
                session: seconds(s.start_time) ?? -1, end: seconds(s.timestamp), sport: s.sport,
                sub_sport: s.sub_sport}));
            const laps = (data.laps || []).map((l) => JSON.stringify({
                lap: seconds(l.start_time) ?? -1, end: seconds(l.timestamp), trigger: l.lap_trigger}));
            lines.push(` "sessions": [\n  ${sessions.join(',\n  ')}\n ],`);
            lines.push(` "laps": [\n  ${laps.join(',\n  ')}\n ],`);
            lines.push(` "records": [\n  ${records.join(',\n  ')}\n ]}`);
        }
        const name = path.basename(file).replace(/\.fit$/i, '.json');
        fs.writeFileSync(path.join(directory, name), lines.join('\n') + '\n');
    };
    try {
        parser.parse(fs.readFileSync(file), write);
    } catch (error) {
        write(error.message);
    }
}
